// The event hub's handlers on their own: what each hands on, for which item types and
// Outlook versions, over a running simulated Outlook without the add-in host.
#include <gtest/gtest.h>

#include "addin/addin_context.h"
#include "addin/out_addin.h"
#include "lifecycle_fixture.h"
#include "sim/model_property.h"

namespace korvanel::scenarios {
namespace {

class HubTest : public LifecycleFixture, public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    sim::MachineOptions o = options(GetParam());
    o.addIns.clear();
    makeMachine(o);
    outlook = machine->startOutlook();
    ASSERT_TRUE(outlook);
    context = std::make_shared<addin::AddinContext>(machine->services(), recordingRoutes(routes));
    hub = std::make_shared<addin::OutAddIn>(context);
    hub->InitAddIn(outlook->application());
    routes->calls.clear();
  }

  bool is2003() const { return GetParam() < 12; }

  platform::ItemPtr itemOfClass(long itemClass) {
    return sim::makeItem(outlook, std::make_shared<sim::ModelItem>(itemClass));
  }

  std::shared_ptr<sim::Outlook> outlook;
  std::shared_ptr<RouteLog> routes = std::make_shared<RouteLog>();
  std::shared_ptr<addin::AddinContext> context;
  std::shared_ptr<addin::OutAddIn> hub;
};

TEST_P(HubTest, ItemSendRoutesByTypeAndLeavesOthersAlone) {
  struct Case {
    long itemClass;
    Text on2007;  // the route on Outlook 2007; on 2003 only mail is routed
  };
  const Case cases[] = {
      {platform::kOlMail, u"CompleteSend MailItem"},
      {platform::kOlMeetingRequest, u"CompleteSend MeetingItem"},
      {platform::kOlMeetingResponsePositive, u"CompleteSend MeetingItem"},
      {platform::kOlTaskRequest, u"CompleteTaskSend TaskRequestItem"},
      {platform::kOlTaskRequestAccept, u"CompleteTaskSend TaskRequestAcceptItem"},
      {platform::kOlTaskRequestUpdate, u"CompleteTaskSend TaskRequestUpdateItem"},
      {platform::kOlTaskRequestDecline, u"CompleteTaskSend TaskRequestDeclineItem"},
      {platform::kOlAppointment, u""},
      {platform::kOlTask, u""},
      {platform::kOlPost, u""},
      {platform::kOlContact, u""},
  };
  for (const Case& c : cases) {
    for (bool answer : {false, true}) {
      routes->calls.clear();
      routes->cancel = answer;
      // Cancel arrives set the other way, so both a routed answer and "left alone" show.
      bool cancel = !answer;
      hub->objOutlook_ItemSend(itemOfClass(c.itemClass), cancel);
      Text expected = is2003()
                          ? (c.itemClass == platform::kOlMail ? u"CompleteSendCDO MailItem" : u"")
                          : c.on2007;
      if (expected.empty()) {
        EXPECT_TRUE(routes->calls.empty()) << c.itemClass;
        EXPECT_EQ(cancel, !answer) << c.itemClass;
      } else {
        EXPECT_EQ(routes->calls, std::vector<Text>{expected}) << c.itemClass;
        EXPECT_EQ(cancel, answer) << c.itemClass;
      }
    }
  }
}

TEST_P(HubTest, NewMailExStampsEveryPieceIncludingTheLast) {
  const Text stamp = is2003() ? u"StampItemCDO " : u"StampItem ";
  hub->objOutlook_NewMailEx(u"AAA,BBB");
  hub->objOutlook_NewMailEx(u"CCC,");
  hub->objOutlook_NewMailEx(u"");
  hub->objOutlook_NewMailEx(u" D ,,E");
  const std::vector<Text> expected = {stamp + u"AAA", stamp + u"BBB", stamp + u"CCC", stamp,
                                      stamp,          stamp + u" D ", stamp,          stamp + u"E"};
  EXPECT_EQ(routes->calls, expected);
}

TEST_P(HubTest, ArrivalReachesStampingThroughBothEvents) {
  sim::ModelItemPtr message = outlook->receive([] {
    sim::IncomingMessage m;
    m.to = {u"sales@contoso.com"};
    m.subject = u"Quote";
    return m;
  }());
  ASSERT_TRUE(message);
  const Text stamp = (is2003() ? u"StampItemCDO " : u"StampItem ") + message->entryId;
  // NewMailEx and the Inbox's ItemAdd both deliver it; stamping tolerates the second.
  EXPECT_EQ(routes->calls, (std::vector<Text>{stamp, stamp}));

  // Only mail is stamped from the Inbox: a post or a report is not.
  routes->calls.clear();
  hub->oInboxItems_ItemAdd(itemOfClass(platform::kOlPost));
  hub->oInboxItems_ItemAdd(itemOfClass(platform::kOlReport));
  hub->oInboxItems_ItemAdd(nullptr);
  EXPECT_TRUE(routes->calls.empty());
}

TEST_P(HubTest, SentCopyIsRestampedAndOnlyTheWindowOfItsOwnMessageCloses) {
  const Text restamp = is2003() ? u"RestampSentItemCDO MailItem" : u"RestampSentItem MailItem";
  sim::InspectorHandle window = outlook->newItem(platform::kOlMail);
  window->item->props.setText(sim::PropKey::tag(sim::prop::kSubject), u"Quote");
  const Variant windowIndex =
      window->item->props.get(sim::PropKey::tag(sim::prop::kConversationIndex));
  routes->calls.clear();

  // A copy of the window's own message carries its conversation index; another message
  // has one of its own.
  auto sentCopy = [&](bool sent, TextView marker, TextView subject, bool ofTheWindow) {
    auto model = std::make_shared<sim::ModelItem>(platform::kOlMail);
    model->sent = sent;
    model->props.setText(sim::PropKey::tag(sim::prop::kSubject), subject);
    model->props.set(
        sim::PropKey::tag(sim::prop::kConversationIndex), sim::kPtBinary,
        ofTheWindow ? windowIndex : Variant(std::vector<std::uint8_t>(22, std::uint8_t{7})));
    if (!marker.empty())
      model->userProperties.push_back({u"KorvanelTag1", platform::kOlText, Variant(Text(marker))});
    return model;
  };

  // Unsent, or not marked "1": no window is touched.
  auto unsent = sentCopy(false, u"1", u"quote", true);
  hub->oSentItems_ItemAdd(sim::makeItem(outlook, unsent));
  EXPECT_TRUE(routes->calls.empty());
  auto other = sentCopy(true, u"2", u"quote", true);
  hub->oSentItems_ItemAdd(sim::makeItem(outlook, other));
  EXPECT_EQ(routes->calls, std::vector<Text>{restamp});
  EXPECT_TRUE(window->isOpen);
  EXPECT_EQ(other->userProperties.size(), 1u);

  // Marked, but the copy of another message whose subject begins the window's caption, or
  // has no subject at all: the user's window stays open with what it holds.
  for (TextView subject : {TextView(u"quote"), TextView(u"Quo"), TextView(u"")}) {
    auto stranger = sentCopy(true, u"1", subject, false);
    hub->oSentItems_ItemAdd(sim::makeItem(outlook, stranger));
    EXPECT_TRUE(window->isOpen) << text::toUtf8(subject);
  }
  auto sameIndexOtherSubject = sentCopy(true, u"1", u"", true);
  hub->oSentItems_ItemAdd(sim::makeItem(outlook, sameIndexOtherSubject));
  EXPECT_TRUE(window->isOpen);

  // Marked and the window's own message: the window closes without saving and the marker
  // goes.
  routes->calls.clear();
  auto marked = sentCopy(true, u"1", u"quote", true);
  hub->oSentItems_ItemAdd(sim::makeItem(outlook, marked));
  EXPECT_EQ(routes->calls, std::vector<Text>{restamp});
  EXPECT_FALSE(window->isOpen);
  EXPECT_TRUE(marked->userProperties.empty());
  EXPECT_TRUE(machine->shell().dialogs().empty());  // closed without Outlook's save question
}

TEST_P(HubTest, DeletedItemsGoToTheResendAndOptionsGetThePage) {
  hub->oDeletedItems_ItemAdd(itemOfClass(platform::kOlPost));
  EXPECT_EQ(routes->calls, std::vector<Text>{u"ResendParkedItem PostItem"});

  ASSERT_TRUE(outlook->openOptions());
  const std::vector<Text> tabs = outlook->optionsDialog().tabs();
  ASSERT_FALSE(tabs.empty());
  EXPECT_EQ(tabs.back(), u"Korvanel");
}

TEST_P(HubTest, ReleaseLetsGoOfEverythingOfOutlook) {
  hub->ReleaseAddIn();
  const addin::SharedState& state = context->state;
  EXPECT_FALSE(state.OutlookApp);
  EXPECT_FALSE(state.CdoSession);
  EXPECT_FALSE(state.MapiNamespace);
  EXPECT_FALSE(state.ApplicationByClass);
  EXPECT_TRUE(state.InspectorWrappers.empty());
  // Outlook does not end while an add-in holds one of its objects: none is left.
  EXPECT_EQ(outlook->heldObjects(), 0);
  hub->objOutlook_NewMailEx(u"X");  // a direct call still works; Outlook's events do not come
  routes->calls.clear();
  outlook->receive([] {
    sim::IncomingMessage m;
    m.to = {u"pat@contoso.com"};
    return m;
  }());
  EXPECT_TRUE(routes->calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Outlook, HubTest, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::scenarios
