// Inspector tracking over the simulated Outlook, with the tracking hooked to the Inspectors
// directly (no identities, so activations neither select nor hook anything).
#include "addin/insp_tracking.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "addin/cls_insp_wrap.h"
#include "sim/machine.h"
#include "sim/outlook_app.h"

namespace korvanel::addin {
namespace {

using text::Text;

class InspectorTracking : public ::testing::Test {
 protected:
  void start(bool withExplorer = true) {
    sim::MachineOptions options;
    options.addIns = {};
    machine = std::make_unique<sim::Machine>(options);
    machine->setUpExchangeProfile(sim::OutlookProfileSeed{});
    outlook = machine->startOutlook({}, withExplorer);
    ASSERT_NE(outlook, nullptr);
    ctx = std::make_unique<AddinContext>(machine->services(), EngineRoutes{});
    ctx->state.OutlookApp = outlook->application();
    ctx->state.OutlookVersion = 12;
    ctx->releaseAddIn = [this] { ++releases; };
    newInspector = ctx->state.OutlookApp->inspectors()->onNewInspector(
        [this](const platform::InspectorPtr& inspector) { colInsp_NewInspector(*ctx, inspector); });
  }

  std::vector<Text> keys() const {
    std::vector<Text> out;
    for (const auto& [key, wrapper] : ctx->state.InspectorWrappers) {
      out.push_back(key);
      EXPECT_EQ(text::toText(wrapper->Key()), key);
    }
    return out;
  }

  sim::ModelItemPtr receive(long itemClass, TextView subject) {
    sim::IncomingMessage m;
    m.to = {u"pat@contoso.com"};
    m.subject = Text(subject);
    m.itemClass = itemClass;
    return outlook->receive(m);
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  std::unique_ptr<AddinContext> ctx;
  platform::Connection newInspector;
  int releases = 0;
};

TEST_F(InspectorTracking, ClosingTheMiddleWindowRemovesExactlyItsWrapper) {
  start();
  auto a = outlook->newItem(platform::kOlMail);
  auto b = outlook->newItem(platform::kOlMail);
  auto c = outlook->newItem(platform::kOlMail);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"1", u"2"}));
  std::weak_ptr<clsInspWrap> middle = ctx->state.InspectorWrappers.at(u"1");

  // The mail's Close and the window's Close both report the closing; only one finds it.
  ASSERT_TRUE(outlook->closeWindow(b));
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"2"}));
  EXPECT_TRUE(middle.expired()) << "the collection held the last reference";

  // Keys are not reused: the next window gets 3.
  outlook->newItem(platform::kOlMail);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"2", u"3"}));
  EXPECT_EQ(releases, 0) << "Outlook has its Explorer";
}

TEST_F(InspectorTracking, KeysKeepComingPastTheSixteenBitRange) {
  start();
  ctx->state.NextInspectorKey = 32766;
  auto a = outlook->newItem(platform::kOlMail);
  auto b = outlook->newItem(platform::kOlMail);
  auto c = outlook->newItem(platform::kOlMail);
  EXPECT_EQ(keys(), (std::vector<Text>{u"32766", u"32767", u"32768"}));
  EXPECT_EQ(ctx->state.InspectorWrappers.at(u"32768")->Key(), 32768);
  // The window beyond 32767 is really tracked: its closing finds its own entry.
  ASSERT_TRUE(outlook->closeWindow(c));
  EXPECT_EQ(keys(), (std::vector<Text>{u"32766", u"32767"}));
  outlook->newItem(platform::kOlMail);
  EXPECT_EQ(ctx->state.NextInspectorKey, 32770);
}

TEST_F(InspectorTracking, KeysKeepComingPastTheThirtyTwoBitRange) {
  start();
  ctx->state.NextInspectorKey = 2147483647;
  outlook->newItem(platform::kOlMail);
  auto beyond = outlook->newItem(platform::kOlMail);
  EXPECT_EQ(keys(), (std::vector<Text>{u"2147483647", u"2147483648"}));
  EXPECT_EQ(ctx->state.InspectorWrappers.at(u"2147483648")->Key(), 2147483648LL);
  ASSERT_TRUE(outlook->closeWindow(beyond));
  EXPECT_EQ(keys(), (std::vector<Text>{u"2147483647"}));
}

TEST_F(InspectorTracking, ACancelledCloseKeepsTheWrapper) {
  start();
  auto message = receive(platform::kOlMail, u"Keep me");
  // Someone ahead of the wrapper cancels the closing.
  platform::Connection veto = message->close.connect([](bool& cancel) { cancel = true; });
  auto window = outlook->open(message);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0"}));
  EXPECT_FALSE(outlook->closeWindow(window));
  EXPECT_EQ(keys(), (std::vector<Text>{u"0"}));

  veto.reset();
  EXPECT_TRUE(outlook->closeWindow(window));
  EXPECT_TRUE(keys().empty());
}

TEST_F(InspectorTracking, OnlyMailContactTaskAppointmentAndMeetingWindowsAreWrapped) {
  start();
  auto post = receive(platform::kOlPost, u"A post");
  auto report = receive(platform::kOlReport, u"A report");
  auto taskRequest = receive(platform::kOlTaskRequest, u"Please do");
  auto meeting = receive(platform::kOlMeetingRequest, u"Meet");
  outlook->open(post);
  // objInsp follows every new window, wrapped or not.
  ASSERT_TRUE(ctx->objInsp);
  EXPECT_EQ(ctx->objInsp->caption().rfind(u"A post", 0), 0u);
  outlook->open(report);
  outlook->open(taskRequest);
  EXPECT_TRUE(keys().empty());

  outlook->open(meeting);
  outlook->newItem(platform::kOlTask);
  outlook->newItem(platform::kOlAppointment);
  auto contact = outlook->newItem(platform::kOlContact);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"1", u"2", u"3"}));

  // A contact's window leaves through the contact's Close.
  ASSERT_TRUE(outlook->closeWindow(contact));
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"1", u"2"}));
}

TEST_F(InspectorTracking, KillInspLeavesAnotherWrappersEntryAlone) {
  start();
  outlook->newItem(platform::kOlMail);
  outlook->newItem(platform::kOlMail);
  const clsInspWrap* second = ctx->state.InspectorWrappers.at(u"1").get();
  KillInsp(*ctx, 0, second);
  KillInsp(*ctx, 7, second);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0", u"1"}));
  KillInsp(*ctx, 1, second);
  EXPECT_EQ(keys(), (std::vector<Text>{u"0"}));
}

TEST_F(InspectorTracking, TheLastWindowOfOutlookWithoutExplorerReleasesTheAddin) {
  start(/*withExplorer=*/false);
  auto first = outlook->newItem(platform::kOlMail);
  auto second = outlook->newItem(platform::kOlMail);
  // objInsp is the second window: the first one's closing is not heard.
  ASSERT_TRUE(outlook->closeWindow(first));
  EXPECT_EQ(releases, 0);
  ASSERT_TRUE(outlook->closeWindow(second));
  EXPECT_EQ(releases, 1);
  EXPECT_FALSE(ctx->objInsp);
  EXPECT_TRUE(keys().empty());
}

TEST_F(InspectorTracking, WithTheExplorerOpenTheLastWindowReleasesNothing) {
  start();
  auto only = outlook->newItem(platform::kOlMail);
  ASSERT_TRUE(outlook->closeWindow(only));
  EXPECT_EQ(releases, 0);
  EXPECT_TRUE(ctx->objInsp) << "objInsp keeps the last window until the next one opens";
}

}  // namespace
}  // namespace korvanel::addin
