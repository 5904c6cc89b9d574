// Saving the simulated registry as a .reg file and loading it back.
#include "sim/reg_file.h"

#include <cstdio>
#include <fstream>
#include <random>

#include "sim/sim_registry.h"
#include "tests/sim/registry_contract.h"

namespace korvanel::testing {
namespace {

using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::kKeyAllAccess;
using platform::kRegSuccess;
using platform::RegKey;
using sim::SimRegistry;

std::vector<KeySnapshot> everything(Registry& reg) {
  std::vector<KeySnapshot> all;
  for (auto [root, name] :
       {std::pair{kHkeyClassesRoot, u"HKCR"}, std::pair{kHkeyCurrentUser, u"HKCU"},
        std::pair{kHkeyLocalMachine, u"HKLM"}}) {
    auto part = snapshot(reg, root, name);
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

void put(Registry& reg, RegHandle root, TextView path, TextView name, const RegValue& value) {
  RegKey key = RegKey::create(reg, root, path, kKeyAllAccess);
  ASSERT_TRUE(key);
  ASSERT_EQ(set(reg, key.get(), name, value), kRegSuccess);
}

// A registry with every awkward name and value form the format has to carry.
void fillAwkward(SimRegistry& reg) {
  std::vector<std::uint8_t> longBinary(300);
  for (std::size_t i = 0; i < longBinary.size(); ++i)
    longBinary[i] = static_cast<std::uint8_t>(i * 7);
  const TextView profile =
      u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\"
      u"Élodie [Outlook]";
  put(reg, kHkeyCurrentUser, profile, u"replyaddressformat",
      raw(platform::kRegBinary, {0x31, 0, 0, 0}));
  put(reg, kHkeyCurrentUser, profile, u"Korvanel_refresh", raw(platform::kRegSz, {'1'}));  // no NUL
  put(reg, kHkeyCurrentUser, profile, u"odd size", raw(platform::kRegSz, {'a', 0, 'b'}));
  put(reg, kHkeyCurrentUser, profile, u"inner nul",
      raw(platform::kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}));
  put(reg, kHkeyCurrentUser, profile, u"line\r\nbreak", sz(u"two\r\nlines"));
  put(reg, kHkeyCurrentUser, profile, u"empty sz", raw(platform::kRegSz, {}));
  put(reg, kHkeyCurrentUser, profile, u"just nul", sz(u""));
  put(reg, kHkeyCurrentUser, profile, u"lone surrogate", raw(platform::kRegSz, {0x00, 0xD8, 0, 0}));
  put(reg, kHkeyCurrentUser, profile, u"emoji \U0001F600", sz(u"\U0001F600"));
  put(reg, kHkeyCurrentUser, profile, u"q\"uote\\back\\\\slash\\", sz(u"C:\\dir\\\"q\"\\"));
  put(reg, kHkeyCurrentUser, profile, u"[bracket]=", sz(u"[x]"));
  put(reg, kHkeyCurrentUser, profile, u"@", sz(u"not the default"));
  put(reg, kHkeyCurrentUser, profile, u"", sz(u"the default"));
  put(reg, kHkeyCurrentUser, profile, u"Иван", sz(u"иван ΟΔΥΣΣΕΥΣ"));
  put(reg, kHkeyCurrentUser, profile, u"long", raw(platform::kRegBinary, longBinary));
  put(reg, kHkeyCurrentUser, profile, u"short dword", raw(platform::kRegDword, {1, 2, 3}));
  put(reg, kHkeyCurrentUser, profile, u"dword", dword(0xDEADBEEF));
  put(reg, kHkeyCurrentUser, profile, u"expand", raw(platform::kRegExpandSz, {'%', 0, 0, 0}));
  put(reg, kHkeyCurrentUser, profile, u"multi", raw(platform::kRegMultiSz, {'a', 0, 0, 0, 0, 0}));
  put(reg, kHkeyCurrentUser, profile, u"none", raw(platform::kRegNone, {}));
  put(reg, kHkeyCurrentUser, profile, u"big type", raw(0xFFFF0001u, {9}));
  put(reg, kHkeyCurrentUser, Text(profile) + u"\\9375CFF0413111d3B88A00104B2A6676\\0000000a",
      u"Account Name",
      raw(platform::kRegBinary, text::toUtf16leBytes(Text(u"EX [É <e@x>]\0", 13))));
  ASSERT_TRUE(RegKey::create(reg, kHkeyCurrentUser, u"Empty\\Key] with ]bracket] ", kKeyAllAccess));
  ASSERT_TRUE(RegKey::create(reg, kHkeyCurrentUser, u"Tab\there;semi\"quote", kKeyAllAccess));
  put(reg, kHkeyClassesRoot, u"", u"", sz(u"root default"));
  put(reg, kHkeyLocalMachine, u"SOFTWARE\\Classes", u"x", dword(0));
}

TEST(RegFile, SaveThenLoadGivesAnIdenticalRegistry) {
  SimRegistry original;
  fillAwkward(original);
  const Text saved = original.exportReg();

  SimRegistry loaded;
  std::string error;
  ASSERT_TRUE(loaded.importReg(saved, &error)) << error;
  EXPECT_EQ(everything(loaded), everything(original));
  EXPECT_EQ(loaded.exportReg(), saved);
}

TEST(RegFile, FileIsUtf16WithAMarkAndLoadsBack) {
  SimRegistry original;
  fillAwkward(original);
  const std::string path = ::testing::TempDir() + "korvanel_reg_file_test.reg";
  std::string error;
  ASSERT_TRUE(original.saveFile(path, &error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEW\0", 4));

  SimRegistry loaded;
  ASSERT_TRUE(loaded.loadFile(path, &error)) << error;
  EXPECT_EQ(everything(loaded), everything(original));
  std::remove(path.c_str());
  EXPECT_FALSE(loaded.loadFile(path, &error));
  EXPECT_FALSE(error.empty());
}

TEST(RegFile, WritesTheFormsRegeditWrites) {
  SimRegistry reg;
  put(reg, kHkeyCurrentUser, u"Software\\K", u"", sz(u"d"));
  put(reg, kHkeyCurrentUser, u"Software\\K", u"s", sz(u"a\\b \"c\""));
  put(reg, kHkeyCurrentUser, u"Software\\K", u"n", dword(26));
  put(reg, kHkeyCurrentUser, u"Software\\K", u"b", raw(platform::kRegBinary, {0x1a, 0, 0xff}));
  put(reg, kHkeyCurrentUser, u"Software\\K", u"e", raw(platform::kRegExpandSz, {'%', 0, 0, 0}));
  put(reg, kHkeyCurrentUser, u"Software\\K", u"r", raw(platform::kRegSz, {'1'}));
  EXPECT_EQ(reg.exportReg(),
            u"Windows Registry Editor Version 5.00\r\n"
            u"\r\n"
            u"[HKEY_CURRENT_USER\\Software]\r\n"
            u"\r\n"
            u"[HKEY_CURRENT_USER\\Software\\K]\r\n"
            u"@=\"d\"\r\n"
            u"\"b\"=hex:1a,00,ff\r\n"
            u"\"e\"=hex(2):25,00,00,00\r\n"
            u"\"n\"=dword:0000001a\r\n"
            u"\"r\"=hex(1):31\r\n"
            u"\"s\"=\"a\\\\b \\\"c\\\"\"\r\n"
            u"\r\n");
}

TEST(RegFile, LongHexLinesAreContinuedWithinEightyColumns) {
  SimRegistry reg;
  put(reg, kHkeyCurrentUser, u"K", u"long",
      raw(platform::kRegBinary, std::vector<std::uint8_t>(100, 0xab)));
  const auto lines = text::split(reg.exportReg(), u"\r\n");
  int continued = 0;
  for (const Text& line : lines) {
    EXPECT_LE(line.size(), 80u) << text::toUtf8(line);
    if (!line.empty() && line.back() == u'\\') ++continued;
  }
  EXPECT_EQ(continued, 4);
}

TEST(RegFile, ReadsWhatPeopleAndRegeditWrite) {
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(
      reg.importReg(u"\uFEFFWindows Registry Editor Version 5.00\n"
                    u"; a comment\n"
                    u"\n"
                    u"[HKCU\\Software\\A]  \n"
                    u"\"Bin\" = HEX:01, 02,\\\n"
                    u"    03 ,\\\n"
                    u"  04\n"
                    u"\"N\"=DWORD:1A\n"
                    u"\"gone\"=\"x\"\n"
                    u"\"gone\"=-\n"
                    u"[HKEY_CURRENT_USER\\Software\\Removed\\Child]\n"
                    u"[-HKEY_CURRENT_USER\\Software\\Removed]\n"
                    u"[hkey_local_machine\\X]\n"
                    u"@=\"dflt\"\n",
                    &error))
      << error;
  const auto all = everything(reg);
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[3].path, u"HKCU\\Software\\A");
  ASSERT_EQ(all[3].values.size(), 2u);
  EXPECT_TRUE(sameValue(all[3].values[0].second, raw(platform::kRegBinary, {1, 2, 3, 4})));
  EXPECT_TRUE(sameValue(all[3].values[1].second, dword(26)));
  EXPECT_EQ(all[5].path, u"HKLM\\X");
  EXPECT_TRUE(sameValue(all[5].values.at(0).second, sz(u"dflt")));
}

TEST(RegFile, MalformedTextIsRefusedAndChangesNothing) {
  SimRegistry reg;
  put(reg, kHkeyCurrentUser, u"Keep", u"v", dword(1));
  const auto before = everything(reg);
  const Text header = u"Windows Registry Editor Version 5.00\r\n\r\n";
  const std::vector<Text> bad = {
      u"",
      u"REGEDIT4\r\n",
      header + u"\"v\"=dword:1\r\n",                // value before any key
      header + u"[HKEY_CURRENT_USER\\A\r\n",        // no ']'
      header + u"[HKEY_NOWHERE\\A]\r\n",            // unknown root
      header + u"[HKEY_CURRENT_USER\\A\\\\B]\r\n",  // empty component
      header + u"[HKEY_CURRENT_USER\\" + Text(256, u'k') + u"]\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:123456789\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=dword:\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:1,\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:123\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex(2:00\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:00 \\ 01\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"open\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"x\" trailing\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\" \"x\"\r\n",
      header + u"[HKEY_CURRENT_USER\\A]\r\n\"v\"=text\r\n",
      header + u"[-HKEY_CURRENT_USER]\r\n",
      header + u"garbage\r\n",
  };
  for (const Text& text : bad) {
    std::string error;
    EXPECT_FALSE(reg.importReg(text, &error)) << text::toUtf8(text);
    EXPECT_FALSE(error.empty()) << text::toUtf8(text);
  }
  EXPECT_EQ(everything(reg), before);

  std::string error;
  EXPECT_FALSE(reg.importReg(header + u"[HKCU\\A]\r\n\r\n\"v\"=bad\r\n", &error));
  EXPECT_EQ(error.rfind("line 5:", 0), 0u) << error;
}

TEST(RegFile, NoInputCrashesTheReader) {
  SimRegistry source;
  fillAwkward(source);
  const Text good = source.exportReg();
  SimRegistry reg;
  // Every cut of a good file, then random damage to it.
  for (std::size_t n = 0; n <= good.size(); n += 7) reg.importReg(TextView(good).substr(0, n));
  std::mt19937 random(12345);
  const char16_t specials[] = {u'[', u']', u'"', u'\\', u'=', u',', u':',   u'\r', u'\n',
                               u'@', u'-', u'(', u')',  u';', 0,    0xD800, u'x',  u'0'};
  for (int round = 0; round < 300; ++round) {
    Text damaged = good;
    for (int k = 0; k < 4; ++k) {
      damaged[random() % damaged.size()] = specials[random() % std::size(specials)];
    }
    reg.importReg(damaged);
  }
  std::string bytes = sim::encodeRegFileBytes(good);
  for (int round = 0; round < 50; ++round) {
    std::string cut = bytes.substr(0, random() % bytes.size());
    reg.importReg(sim::decodeRegFileBytes(cut));
  }
  SUCCEED();
}

TEST(RegFile, DecodesByByteOrderMark) {
  EXPECT_EQ(sim::decodeRegFileBytes(std::string("\xFF\xFE"
                                                "A\0\x16\x04",
                                                6)),
            u"AЖ");
  EXPECT_EQ(sim::decodeRegFileBytes(std::string("\xFE\xFF\0A\x04\x16", 6)), u"AЖ");
  EXPECT_EQ(sim::decodeRegFileBytes("\xEF\xBB\xBF"
                                    "A\xD0\x96"),
            u"AЖ");
  EXPECT_EQ(sim::decodeRegFileBytes("A\xD0\x96"), u"AЖ");
  EXPECT_EQ(sim::decodeRegFileBytes(std::string("\xFF\xFE"
                                                "A\0B",
                                                5)),
            u"A");
}

}  // namespace
}  // namespace korvanel::testing
