// Every bad input stops korvanel-sim before anything runs: status 2, nothing on standard
// output, and one line on standard error naming the file, the place in it and what was
// expected.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "temp_files.h"
#include "tools/korvanel-sim/cli.h"

namespace korvanel::tool {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

struct Result {
  int code = 0;
  std::string out;
  std::string err;
};

Result cli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  Result r;
  r.code = runCommandLine(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// A scenario whose steps are the given JSON text.
std::string scenarioWith(const std::string& steps, const std::string& extra = "") {
  return R"({"profile": {"identities": [{"display": "Sales", "email": "sales@contoso.com"}]},)" +
         extra + R"( "steps": [)" + steps + "]}";
}

class BadInput : public ::testing::Test {
 protected:
  // Runs the scenario text and checks the refusal; the error line without its prefix.
  std::string refused(const std::string& json) {
    const std::string file = files.write("s.json", json);
    const Result r = cli({"run", file});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr("korvanel-sim: " + file + ": "));
    return r.err;
  }
  TempFiles files;
};

TEST_F(BadInput, FilesThatCannotBeReadOrParsed) {
  const Result missing = cli({"run", files.path("nowhere.json")});
  EXPECT_EQ(missing.code, kExitBadInput);
  EXPECT_THAT(missing.err, AllOf(HasSubstr("nowhere.json: cannot be read"), HasSubstr("expected")));

  EXPECT_THAT(refused("{\"steps\": [\n  {\"do\": \"start\"},\n]}"),
              AllOf(HasSubstr("invalid JSON"), HasSubstr("line 3")));
  EXPECT_THAT(refused(""), HasSubstr("invalid JSON"));
  EXPECT_THAT(refused("[1, 2]"), HasSubstr("$: expected an object, found an array"));
}

TEST_F(BadInput, UnknownFieldsAndStepsNameTheirPathAndTheAcceptedNames) {
  EXPECT_THAT(refused(scenarioWith(R"({"do": "start"})", R"( "outlok": 12,)")),
              AllOf(HasSubstr("$.outlok: unknown field; expected one of outlook, cdo"),
                    HasSubstr("steps")));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "start"}, {"do": "replay", "id": "m1"})")),
              AllOf(HasSubstr("$.steps[1].do: expected one of start, receive"),
                    HasSubstr("found \"replay\"")));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "start", "window": false})")),
              HasSubstr("$.steps[0].window: unknown field; expected one of do, profile, windows"));
  EXPECT_THAT(refused(scenarioWith(R"({"id": "m1"})")),
              HasSubstr("$.steps[0]: missing field \"do\""));
  EXPECT_THAT(
      refused(
          R"({"profile": {"identities": [{"display": "Sales", "email": "s@c.com", "name": "x"}]}, "steps": []})"),
      HasSubstr("$.profile.identities[0].name: unknown field"));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "options", "actions": [{"click": "cmdFly"}]})")),
              AllOf(HasSubstr("$.steps[0].actions[0].click: expected one of cmdAdd"),
                    HasSubstr("\"cmdFly\"")));
}

TEST_F(BadInput, WrongTypesAndRanges) {
  EXPECT_THAT(refused(scenarioWith("", R"( "outlook": "12",)")),
              HasSubstr("$.outlook: expected an integer from 11 to 12, found a string"));
  EXPECT_THAT(refused(scenarioWith("", R"( "outlook": 5,)")),
              HasSubstr("$.outlook: expected an integer from 11 to 12, found 5"));
  EXPECT_THAT(refused(scenarioWith("", R"( "outlook": 14,)")),
              HasSubstr("$.outlook: expected an integer from 11 to 12, found 14"));
  EXPECT_THAT(refused(scenarioWith("", R"( "cdo": 1,)")),
              HasSubstr("$.cdo: expected true or false"));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "to": "sales@contoso.com"})")),
              HasSubstr("$.steps[0].to: expected an array of strings, found a string"));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "to": ["a@b.com", 7]})")),
              HasSubstr("$.steps[0].to[1]: expected a string, found an integer"));
  EXPECT_THAT(refused(R"({"profile": {"reply_format": 3}, "steps": []})"),
              HasSubstr("$.profile.reply_format: expected an integer from 0 to 2, found 3"));
  EXPECT_THAT(refused(R"({"profile": {"proxy_addresses": ["smtp:pat@contoso.com"]}, "steps": []})"),
              HasSubstr("$.profile.proxy_addresses: expected one primary address"));
  EXPECT_THAT(refused(R"({"steps": []})"), HasSubstr("$: missing field \"profile\""));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "subject": "x"})")),
              HasSubstr("$.steps[0]: expected \"headers\", \"eml\" or \"to\"/\"cc\""));
}

TEST_F(BadInput, MessagesAndWindowsMustBeMadeByAnEarlierStep) {
  EXPECT_THAT(
      refused(scenarioWith(R"({"do": "start"}, {"do": "reply", "id": "m1", "window": "c1"})")),
      HasSubstr(
          "$.steps[1].id: unknown message id \"m1\"; expected the id of a message received by an "
          "earlier step (none so far)"));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "to": ["a@b.com"]},
                                      {"do": "reply", "id": "m1", "window": "c1"},
                                      {"do": "send", "window": "c2"})")),
              HasSubstr("$.steps[2].window: unknown window \"c2\"; expected a window opened by an "
                        "earlier step (c1)"));
  // A window used before the step that opens it.
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "to": ["a@b.com"]},
                                      {"do": "send", "window": "c1"},
                                      {"do": "reply", "id": "m1", "window": "c1"})")),
              HasSubstr("$.steps[1].window: unknown window \"c1\""));
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "to": ["a@b.com"]},
                                      {"do": "receive", "id": "m1", "to": ["a@b.com"]})")),
              HasSubstr("$.steps[1].id: the message id \"m1\" is already made by $.steps[0]"));
}

TEST_F(BadInput, FilesNamedByTheScenario) {
  EXPECT_THAT(refused(scenarioWith(R"({"do": "receive", "id": "m1", "eml": "absent.eml"})")),
              AllOf(HasSubstr("$.steps[0].eml: cannot read"),
                    HasSubstr("absent.eml\"; expected a message file")));
  EXPECT_THAT(refused(R"({"registry": "absent.reg", "steps": []})"),
              AllOf(HasSubstr("$.registry: cannot read"), HasSubstr("expected a registry file")));

  // A malformed file is told in its own terms, with where the scenario names it.
  files.write(
      "broken.reg",
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"v\"=bogus\r\n");
  const std::string scenario = files.write("s.json", R"({"registry": "broken.reg", "steps": []})");
  Result r = cli({"run", scenario});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, AllOf(HasSubstr("broken.reg: "), HasSubstr("line 4"),
                           HasSubstr("(named at " + scenario + ": $.registry)")));
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;

  files.write("elsewhere.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_USERS\\X]\r\n");
  files.write("s.json", R"({"registry": "elsewhere.reg", "steps": []})");
  r = cli({"run", scenario});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_THAT(r.err, HasSubstr("elsewhere.reg: [HKEY_USERS\\X]: unknown root key"));
}

TEST_F(BadInput, FaultsNameAKnownCallAndACallNumberOrAlways) {
  const std::string start = R"({"do": "start"})";
  EXPECT_THAT(
      refused(scenarioWith(start, R"( "faults": [{"call": "MailItm.Save", "occurrence": 1}],)")),
      AllOf(HasSubstr("$.faults[0].call: unknown object \"MailItm\""),
            HasSubstr("expected one of the simulated objects")));
  EXPECT_THAT(refused(scenarioWith(start, R"( "faults": [{"call": "Save", "occurrence": 1}],)")),
              HasSubstr("$.faults[0].call: expected a call written Object.Member"));
  EXPECT_THAT(
      refused(scenarioWith(start, R"( "faults": [{"call": "MailItem.Save", "occurrence": 0}],)")),
      HasSubstr("$.faults[0].occurrence: expected an integer from 1"));
  EXPECT_THAT(refused(scenarioWith(
                  start, R"( "faults": [{"call": "MailItem.Save", "occurrence": "sometimes"}],)")),
              HasSubstr("expected a call number from 1 or \"always\", found \"sometimes\""));
  EXPECT_THAT(refused(scenarioWith(start, R"( "faults": [{"call": "MailItem.Save"}],)")),
              HasSubstr("$.faults[0]: missing field \"occurrence\""));
  EXPECT_THAT(
      refused(scenarioWith(
          start, R"( "faults": [{"call": "MailItem.Save", "occurrence": 1, "mode": "x"}],)")),
      HasSubstr("$.faults[0].mode: unknown field"));
  EXPECT_THAT(
      refused(scenarioWith(start, R"( "faults": [{"call": "MailItem.Save", "occurrence": 1},
                                                       {"call": "MailItem.Save", "occurrence": "always"}],)")),
      HasSubstr("$.faults[1].call: \"MailItem.Save\" is already made to fail by $.faults[0]"));
  EXPECT_THAT(refused(scenarioWith(start, R"( "faults": {"call": "MailItem.Save"},)")),
              HasSubstr("$.faults: expected an array"));
}

TEST_F(BadInput, CommandLines) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate"},
                                             {"run"},
                                             {"run", "a.json", "b.json"},
                                             {"run", "a.json", "--yaml"},
                                             {"run", "a.json", "--save-registry"},
                                             {"demo", "extra"},
                                             {"explain", "message.eml"},
                                             {"explain", "--identities", "ids.json"}}) {
    const Result r = cli(args);
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("(korvanel-sim --help shows the usage)\n"));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST_F(BadInput, ASavedRegistryThatCannotBeWrittenStopsTheRunBeforeItStarts) {
  const std::string scenario = files.write("s.json", scenarioWith(R"({"do": "start"})"));
  const Result r = cli({"run", scenario, "--save-registry", files.path("no/such/folder/out.reg")});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("out.reg: cannot be written"));
}

TEST_F(BadInput, ExplainFiles) {
  const std::string message = files.write("m.eml", "To: Sales <sales@contoso.com>\n\nHello\n");
  const std::string notArray = files.write("ids.json", R"({"display": "Sales"})");
  Result r = cli({"explain", "--identities", notArray, message});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_THAT(r.err, HasSubstr("ids.json: $: expected an array of identities, found an object"));

  const std::string noEmail = files.write("ids2.json", R"([{"display": "Sales"}])");
  r = cli({"explain", "--identities", noEmail, message});
  EXPECT_THAT(r.err, HasSubstr("ids2.json: $[0]: missing field \"email\""));

  const std::string ids =
      files.write("ids3.json", R"([{"display": "Sales", "email": "sales@contoso.com"}])");
  r = cli({"explain", "--identities", ids, files.path("none.eml")});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_THAT(r.err, HasSubstr("none.eml: cannot be read"));
}

TEST(Help, EveryCommandHasItsUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"demo", "--help"}, {"run", "--help"}, {"explain", "--help"}}) {
    const Result r = cli(args);
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, HasSubstr("korvanel-sim"));
  }
  EXPECT_THAT(cli({"run", "--help"}).out, HasSubstr("--save-registry FILE.reg"));
  EXPECT_THAT(cli({"explain", "-h"}).out, HasSubstr("--identities IDS.json"));
}

}  // namespace
}  // namespace korvanel::tool
