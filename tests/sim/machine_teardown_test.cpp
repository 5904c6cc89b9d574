// A machine, or a bare world, that goes away with Outlook still running lets go of all of
// it, whatever Outlook was doing: an Options dialog showing an add-in's page (the page
// holds Outlook's Application), a quit not yet carried out, a compose window the add-in
// wraps, an add-in's published object holding the Application. Outlook's own end does the
// same for the dialog. Run under LeakSanitizer, these also show that nothing leaks.
#include <gtest/gtest.h>

#include <ostream>

#include "sim/machine.h"
#include "sim/outlook_objects.h"
#include "sim/outlook_profile_seed.h"

namespace korvanel::sim {
namespace {

using platform::ApplicationPtr;
using platform::COMAddInPtr;
using platform::Connection;

constexpr char16_t kAddInProgId[] = u"Test.Connect";
constexpr char16_t kPageProgId[] = u"Test.Page";
constexpr char16_t kPageTitle[] = u"Test";

// Objects of the add-in and its page still alive, and the Terminates that ran.
struct Lives {
  int addIns = 0;
  int pages = 0;
  int addInTerminates = 0;
  int pageTerminates = 0;
  // The add-in keeps what it holds of Outlook when disconnected, until its Terminate.
  bool holdAfterDisconnection = false;
};

// A page that keeps its site and the Application until it is destroyed: only Outlook
// releasing it can break the cycle through the dialog.
class HoldingPage final : public platform::PropertyPage {
 public:
  explicit HoldingPage(Lives& lives) : lives_(lives) { ++lives_.pages; }
  ~HoldingPage() override { --lives_.pages; }
  void initProperties(const platform::PropertyPageSitePtr& site) override {
    site_ = site;
    application_ = site ? site->application() : nullptr;
  }
  void apply() override {}
  bool dirty() override { return false; }
  void getPageInfo(Text&, long&) override {}
  void onTerminate() override { ++lives_.pageTerminates; }

 private:
  Lives& lives_;
  platform::PropertyPageSitePtr site_;
  ApplicationPtr application_;
};

// What the add-in publishes as its COMAddIn's Object: it knows Outlook's Application.
struct Published final : platform::Dispatch {
  explicit Published(ApplicationPtr app) : application(std::move(app)) {}
  Variant get(TextView) override { return Variant(); }
  bool put(TextView, const Variant&) override { return false; }
  Variant call(TextView, const std::vector<Variant>&) override { return Variant(); }
  ApplicationPtr application;
};

// An add-in as the product is one: it adds its Options page, wraps each item window (the
// wrapper holds the window and its item and hooks both), and lets go of all of it when it
// is disconnected (Outlook does not end before), or at its Terminate without shut-down.
class WrappingAddIn final : public platform::AddIn {
 public:
  explicit WrappingAddIn(Lives& lives) : lives_(lives) { ++lives_.addIns; }
  ~WrappingAddIn() override { --lives_.addIns; }

  void onConnection(const ApplicationPtr& app, long, const COMAddInPtr& inst) override {
    application_ = app;
    inst->setObject(std::make_shared<Published>(app));
    pagesAdd_ = app->onOptionsPagesAdd(
        [](const platform::PropertyPagesPtr& pages) { pages->add(kPageProgId, kPageTitle); });
    newInspector_ = app->inspectors()->onNewInspector([this](const platform::InspectorPtr& i) {
      auto wrapper = std::make_unique<Wrapper>();
      wrapper->inspector = i;
      wrapper->item = i->currentItem();
      Wrapper* raw = wrapper.get();
      wrapper->itemClose = wrapper->item->onClose([raw](bool&) { raw->item.reset(); });
      wrapper->windowClose = i->onClose([raw] { raw->inspector.reset(); });
      wrappers_.push_back(std::move(wrapper));
    });
  }
  void onDisconnection(long) override {
    if (!lives_.holdAfterDisconnection) letGo();
  }
  void onAddInsUpdate() override {}
  void onStartupComplete() override {}
  void onBeginShutdown() override {}
  void onTerminate() override {
    ++lives_.addInTerminates;
    letGo();
  }

 private:
  void letGo() {
    wrappers_.clear();
    newInspector_.reset();
    pagesAdd_.reset();
    application_.reset();
  }

  struct Wrapper {
    platform::InspectorPtr inspector;
    platform::ItemPtr item;
    Connection itemClose;
    Connection windowClose;
  };
  Lives& lives_;
  ApplicationPtr application_;
  Connection pagesAdd_;
  Connection newInspector_;
  std::vector<std::unique_ptr<Wrapper>> wrappers_;
};

OutlookProfileSeed patSeed() {
  OutlookProfileSeed seed;
  seed.proxyAddresses = {u"SMTP:pat@contoso.com"};
  return seed;
}

void registerClasses(ClassRegistry& classes, Lives& lives) {
  classes.registerAddIn(kAddInProgId, [&lives] { return std::make_unique<WrappingAddIn>(lives); });
  classes.registerPage(kPageProgId, [&lives] { return std::make_unique<HoldingPage>(lives); });
}

// What Outlook is doing when the machine goes.
enum class State { kOptionsPageShown, kQuitPending, kComposeWindowAndOptionsPage, kAddInOnly };

struct TeardownCase {
  const char* name;
  int version;
  State state;
};

void PrintTo(const TeardownCase& c, std::ostream* os) { *os << c.name; }

class MachineTeardownTest : public ::testing::TestWithParam<TeardownCase> {
 protected:
  void SetUp() override {
    MachineOptions options;
    options.version = GetParam().version;
    options.addIns = {kAddInProgId};
    machine = std::make_unique<Machine>(std::move(options));
    ASSERT_NE(machine->setUpExchangeProfile(patSeed()), nullptr);
    registerClasses(machine->world().classes(), lives);
  }

  Lives lives;  // outlives the machine: the objects' last releases count here
  std::unique_ptr<Machine> machine;
};

TEST_P(MachineTeardownTest, TheMachineTakesOutlookAndEverythingHoldingItAlong) {
  std::shared_ptr<Outlook> outlook = machine->startOutlook();
  ASSERT_NE(outlook, nullptr);
  ASSERT_EQ(lives.addIns, 1);
  const State state = GetParam().state;
  if (state == State::kComposeWindowAndOptionsPage) {
    ASSERT_NE(outlook->newItem(platform::kOlMail), nullptr);
  }
  if (state != State::kAddInOnly) {
    ASSERT_TRUE(outlook->openOptions());
    ASSERT_TRUE(outlook->optionsDialog().selectTab(kPageTitle));
    ASSERT_EQ(lives.pages, 1);
  }
  if (state == State::kQuitPending) {
    outlook->requestQuit();  // carried out when Outlook next processes its messages
    ASSERT_FALSE(outlook->ended());
  }

  std::weak_ptr<Outlook> watch = outlook;
  outlook.reset();
  machine.reset();

  EXPECT_TRUE(watch.expired()) << "something still holds the Outlook";
  EXPECT_EQ(lives.addIns, 0);
  EXPECT_EQ(lives.addInTerminates, 1);
  EXPECT_EQ(lives.pages, 0);
  EXPECT_EQ(lives.pageTerminates, state == State::kAddInOnly ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sim, MachineTeardownTest,
    ::testing::Values(TeardownCase{"OptionsPage2003", 11, State::kOptionsPageShown},
                      TeardownCase{"OptionsPage2007", 12, State::kOptionsPageShown},
                      TeardownCase{"QuitPending", 12, State::kQuitPending},
                      TeardownCase{"ComposeWindow", 11, State::kComposeWindowAndOptionsPage},
                      TeardownCase{"PublishedObject", 12, State::kAddInOnly}),
    [](const ::testing::TestParamInfo<TeardownCase>& info) { return info.param.name; });

TEST(OutlookEnd, QuittingWithTheOptionsDialogOpenReleasesThePageAndThePublishedObject) {
  Lives lives;
  MachineOptions options;
  options.addIns = {kAddInProgId};
  Machine machine(std::move(options));
  ASSERT_NE(machine.setUpExchangeProfile(patSeed()), nullptr);
  registerClasses(machine.world().classes(), lives);
  std::shared_ptr<Outlook> outlook = machine.startOutlook();
  ASSERT_NE(outlook, nullptr);
  ASSERT_TRUE(outlook->openOptions());
  ASSERT_TRUE(outlook->optionsDialog().selectTab(kPageTitle));

  machine.quitOutlook();

  EXPECT_TRUE(outlook->ended());
  EXPECT_FALSE(outlook->optionsDialog().isOpen());
  EXPECT_EQ(lives.pages, 0);
  EXPECT_EQ(lives.pageTerminates, 1);
  EXPECT_EQ(outlook->comAddIn(kAddInProgId)->object(), nullptr);
  EXPECT_FALSE(outlook->queue().pending());
}

TEST(WorldEnd, AWorldGoingWithTheOptionsDialogOpenTakesItsOutlookAlong) {
  Lives lives;
  SimRegistry registry;
  auto world = std::make_unique<World>(registry);
  world->organisation().addMailbox(u"Pat Doe", u"pat", {u"SMTP:pat@contoso.com"});
  ASSERT_TRUE(seedOutlookProfile(registry, patSeed()));
  registerClasses(world->classes(), lives);
  std::shared_ptr<Outlook> outlook = world->startOutlook(OutlookOptions{});
  ASSERT_NE(outlook, nullptr);
  Connection pagesAdd = makeApplication(outlook)->onOptionsPagesAdd(
      [](const platform::PropertyPagesPtr& pages) { pages->add(kPageProgId, kPageTitle); });
  ASSERT_TRUE(outlook->openOptions());
  ASSERT_TRUE(outlook->optionsDialog().selectTab(kPageTitle));
  ASSERT_EQ(lives.pages, 1);

  std::weak_ptr<Outlook> watch = outlook;
  outlook.reset();
  world.reset();

  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(lives.pages, 0);
  EXPECT_EQ(lives.pageTerminates, 1);
}

TEST(OutlookEnd, AnAddInHoldingOutlooksObjectsWhenDisconnectedKeepsOutlookFromEnding) {
  for (int version : {11, 12}) {
    Lives lives;
    lives.holdAfterDisconnection = true;
    MachineOptions options;
    options.version = version;
    options.addIns = {kAddInProgId};
    Machine machine(std::move(options));
    ASSERT_NE(machine.setUpExchangeProfile(patSeed()), nullptr);
    registerClasses(machine.world().classes(), lives);
    std::shared_ptr<Outlook> outlook = machine.startOutlook();
    ASSERT_NE(outlook, nullptr);

    machine.quitOutlook();
    // Outlook waits for its objects: the add-in is never released and Outlook stays.
    EXPECT_FALSE(outlook->ended()) << version;
    EXPECT_FALSE(machine.runs().back().ended) << version;
    EXPECT_EQ(lives.addInTerminates, 0) << version;
    EXPECT_GT(outlook->heldObjects(), 0) << version;
    const std::vector<Text> anomalies = machine.anomalies();
    ASSERT_EQ(anomalies.size(), 1u) << version;
    EXPECT_TRUE(anomalies[0].starts_with(u"Outlook could not end:")) << version;
  }
}

}  // namespace
}  // namespace korvanel::sim
