// The real Korvanel.dll (registered by regsvr32) loaded by the served Outlook, as
// `korvanel-sim.exe run --over-com` loads it: CDO missing is told exactly when the served CDO
// is not registered, and once Outlook has disconnected and released the add-in, it holds
// nothing of the served Outlook (nor, once disconnected, anything but what the host itself
// holds). Needs a display (the served Outlook has a window).
#include <gtest/gtest.h>

#include "profile/account_store.h"
#include "sim/machine.h"
#include "sim/outlook_app.h"
#include "win/com/com_registration.h"
#include "win/served/served_machine.h"
#include "win/served/served_stats.h"
#include "win/system/advapi_registry.h"

namespace korvanel::win::served {
namespace {

constexpr char16_t kNoCdoNotice[] = u"Collaboration Data Objects not installed.";

// Forwards to the add-in over COM and notes what the served Outlook counts once
// OnDisconnection has returned.
class WatchedAddIn final : public platform::AddIn {
 public:
  WatchedAddIn(std::unique_ptr<platform::AddIn> addIn, long& sinksAfterDisconnection,
               long& objectsAfterDisconnection)
      : addIn_(std::move(addIn)),
        sinksAfterDisconnection_(sinksAfterDisconnection),
        objectsAfterDisconnection_(objectsAfterDisconnection) {}

  void onConnection(const platform::ApplicationPtr& application, long connectMode,
                    const platform::COMAddInPtr& addInInst) override {
    addIn_->onConnection(application, connectMode, addInInst);
  }
  void onDisconnection(long removeMode) override {
    addIn_->onDisconnection(removeMode);
    sinksAfterDisconnection_ = servedStats().advisedSinks;
    objectsAfterDisconnection_ = servedStats().liveObjects;
  }
  void onAddInsUpdate() override { addIn_->onAddInsUpdate(); }
  void onStartupComplete() override { addIn_->onStartupComplete(); }
  void onBeginShutdown() override { addIn_->onBeginShutdown(); }
  void onTerminate() override { addIn_->onTerminate(); }

 private:
  std::unique_ptr<platform::AddIn> addIn_;
  long& sinksAfterDisconnection_;
  long& objectsAfterDisconnection_;
};

class RealAddInOverCom : public ::testing::Test {
 protected:
  // Pat's Exchange profile with the identity Sales, on the served registry; Outlook of
  // `version` loads the real DLL at its start.
  void start(int version, bool cdoInstalled) {
    sim::MachineOptions options;
    options.version = version;
    options.cdoInstalled = cdoInstalled;
    options.registry = &served.registry();
    machine = std::make_unique<sim::Machine>(options);
    sim::OutlookProfileSeed seed;
    seed.proxyAddresses = {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com"};
    ASSERT_NE(machine->setUpExchangeProfile(seed), nullptr);
    profile::AccountStore store(machine->registry());
    store.CreateIdentityAccount(seed.profileName, store.GetNextAccountID(seed.profileName),
                                u"EX [Sales <sales@contoso.com>]", u"Sales", u"sales@contoso.com",
                                u"", u"");
    machine->world().classes().registerAddIn(u"Korvanel.Connect", [this] {
      return std::make_unique<WatchedAddIn>(served.createAddIn(u"Korvanel.Connect"),
                                            sinksAfterDisconnection, objectsAfterDisconnection);
    });
    served.serve(*machine);
    outlook = machine->startOutlook();
    ASSERT_TRUE(outlook);
  }

  void TearDown() override {
    outlook.reset();
    if (machine) {
      machine->quitOutlook();
      served.unserve();
    }
    machine.reset();
  }

  bool toldCdoMissing() const {
    for (const sim::DialogRecord& box : machine->shell().dialogs()) {
      if (box.text.starts_with(kNoCdoNotice)) return true;
    }
    return false;
  }

  ServedMachine served;
  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  long sinksAfterDisconnection = -1;
  long objectsAfterDisconnection = -1;
};

sim::IncomingMessage toSales() {
  sim::IncomingMessage message;
  message.from = u"Ann <ann@fabrikam.com>";
  message.to = {u"Sales <sales@contoso.com>"};
  message.subject = u"Quote";
  return message;
}

TEST_F(RealAddInOverCom, Outlook2003WithTheServedCdoStartsWithoutTheNotice) {
  start(11, true);
  EXPECT_FALSE(toldCdoMissing());
  // CDO works: the arrival is stamped through it.
  const sim::ModelItemPtr received = outlook->receive(toSales());
  ASSERT_TRUE(received);
  EXPECT_EQ(received->namedText(sim::prop::kAccountName), u"EX [Sales <sales@contoso.com>]");
}

TEST_F(RealAddInOverCom, Outlook2003WithoutCdoTellsTheUserAndStampsNothing) {
  start(11, false);
  EXPECT_TRUE(toldCdoMissing());
  const sim::ModelItemPtr received = outlook->receive(toSales());
  ASSERT_TRUE(received);
  EXPECT_EQ(received->namedText(sim::prop::kAccountName), u"");
}

TEST_F(RealAddInOverCom, AfterItsReleaseTheAddInHoldsNothingOfOutlook) {
  start(12, true);
  const sim::ModelItemPtr received = outlook->receive(toSales());
  ASSERT_TRUE(received);
  outlook->select({received});
  const sim::InspectorHandle window = outlook->reply(received);
  ASSERT_TRUE(window);
  outlook->pressSend(window);
  // Connected, it holds the Application, its folders' Items and their events.
  EXPECT_GT(servedStats().liveObjects, 0);
  EXPECT_GT(servedStats().advisedSinks, 0);

  outlook.reset();
  machine->quitOutlook();
  EXPECT_EQ(sinksAfterDisconnection, 0);
  // Only the host's own AddInInst, which it lets go at the release.
  EXPECT_EQ(objectsAfterDisconnection, 1);
  EXPECT_EQ(servedStats().liveObjects, 0);
  EXPECT_EQ(servedStats().advisedSinks, 0);
  EXPECT_EQ(machine->anomalies(), std::vector<Text>());
}

// A run over COM needs both real DLLs registered: one that is not, or whose registered file
// is gone, is named with what to do, instead of a run without add-in or page.
TEST(ServedDlls, ARunGoesOverComOnlyWithBothRealDllsLoadable) {
  {
    ServedMachine served;  // HKEY_LOCAL_MACHINE is its scratch key while it lives
    EXPECT_EQ(served.unavailable(), "");
  }
  EXPECT_EQ(whyNotLoadable(u"Korvanel.NoSuchClass", "NoSuch.dll"),
            "Korvanel.NoSuchClass is not registered: register NoSuch.dll with regsvr32 in this "
            "Wine prefix");

  // A class whose registered file was moved away since regsvr32.
  AdvapiRegistry registry;
  const Text clsid = u"CLSID\\{7B0E5A52-3C1D-4F0B-9E55-2D8A41C7F0A1}";
  setStringValue(registry, platform::kHkeyClassesRoot, u"Korvanel.ServedTestMoved\\CLSID", u"",
                 clsid.substr(6));
  setStringValue(registry, platform::kHkeyClassesRoot, clsid + u"\\InprocServer32", u"",
                 u"C:\\moved\\Moved.dll");
  const std::string why = whyNotLoadable(u"Korvanel.ServedTestMoved", "Moved.dll");
  deleteKeyTree(registry, platform::kHkeyClassesRoot, u"Korvanel.ServedTestMoved");
  deleteKeyTree(registry, platform::kHkeyClassesRoot, clsid);
  EXPECT_EQ(why,
            "Korvanel.ServedTestMoved is registered as C:\\moved\\Moved.dll, which cannot be "
            "loaded: register Moved.dll with regsvr32 in this Wine prefix");
}

}  // namespace
}  // namespace korvanel::win::served
