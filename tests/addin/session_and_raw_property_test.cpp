// The CDO session and the raw read of a single-byte property through Extended MAPI, over the
// simulated machine.
#include <gtest/gtest.h>

#include "addin/addin_context.h"
#include "addin/cdo_session.h"
#include "addin/raw_property.h"
#include "sim/machine.h"
#include "sim/outlook_objects.h"

namespace korvanel::addin {
namespace {

constexpr std::uint32_t kTransportHeaders = 0x007D001E;

class SessionTest : public ::testing::Test {
 protected:
  void start(int version, bool cdo = true) {
    sim::MachineOptions options;
    options.version = version;
    options.cdoInstalled = cdo;
    options.addIns.clear();
    machine = std::make_unique<sim::Machine>(options);
    ASSERT_TRUE(machine->setUpExchangeProfile(sim::OutlookProfileSeed{}));
    outlook = machine->startOutlook();
    ASSERT_TRUE(outlook);
    context = std::make_unique<AddinContext>(machine->services(), EngineRoutes{});
  }

  platform::ItemPtr received(TextView headers) {
    sim::IncomingMessage m;
    m.to = {u"pat@contoso.com"};
    m.headers = Text(headers);
    m.buildHeaders = false;
    return sim::makeItem(outlook, outlook->receive(m));
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  std::unique_ptr<AddinContext> context;
};

TEST_F(SessionTest, CdoLogonAttachesToOutlooksProfileAndLogoffDropsIt) {
  start(11);
  CdoLogon(*context);
  ASSERT_TRUE(context->state.CdoSession);
  EXPECT_EQ(context->state.CdoSession->name(), u"Outlook");
  CdoLogoff(*context);
  EXPECT_FALSE(context->state.CdoSession);
  CdoLogoff(*context);  // without a session: nothing happens
  EXPECT_FALSE(context->state.CdoSession);
}

TEST_F(SessionTest, CdoLogonWithoutCdoLeavesNoSession) {
  start(11, /*cdo=*/false);
  CdoLogon(*context);
  EXPECT_FALSE(context->state.CdoSession);
}

TEST_F(SessionTest, RawReadTrimsBlanksOnlyAndFreesTheBuffer) {
  start(11);
  platform::ItemPtr item = received(u"  To: Sales <sales@contoso.com>\r\nSubject: Hi\r\n\t ");
  EXPECT_EQ(ReadRawStringProperty(*context, *item, kTransportHeaders),
            u"To: Sales <sales@contoso.com>\r\nSubject: Hi\r\n\t");
  EXPECT_EQ(machine->mapi().outstandingBuffers(), 0u);

  // Windows-1252 text comes back as its characters.
  platform::ItemPtr accented = received(u"To: \u00c9lodie <e@x.com>");
  EXPECT_EQ(ReadRawStringProperty(*context, *accented, kTransportHeaders),
            u"To: \u00c9lodie <e@x.com>");
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST_F(SessionTest, RawReadOfAnAbsentOrFailingPropertyIsEmpty) {
  start(11);
  platform::ItemPtr item = received(u"");
  EXPECT_EQ(ReadRawStringProperty(*context, *item, kTransportHeaders), u"");
  // Not a single-byte string: not read as one, but freed all the same.
  EXPECT_EQ(ReadRawStringProperty(*context, *item, 0x0E080003), u"");
  platform::ItemPtr withHeaders = received(u"To: a@b.com");
  machine->faults().failOnce("Mapi.HrGetOneProp");
  EXPECT_EQ(ReadRawStringProperty(*context, *withHeaders, kTransportHeaders), u"");
  EXPECT_EQ(machine->mapi().outstandingBuffers(), 0u);
  EXPECT_TRUE(machine->anomalies().empty());
}

TEST(PtrToStrTest, NullAndBlankTexts) {
  const profile::AnsiCodePage cp = profile::AnsiCodePage::windows1252();
  EXPECT_EQ(PtrToStr(nullptr, cp), u"");
  EXPECT_EQ(PtrToStr("   ", cp), u"");
  EXPECT_EQ(PtrToStr(" \tx\r\n ", cp), u"\tx\r\n");
  EXPECT_EQ(PtrToStr("caf\xe9", cp), u"caf\u00e9");
}

}  // namespace
}  // namespace korvanel::addin
