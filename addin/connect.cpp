#include "addin/connect.h"

#include <utility>

#include "addin/accessible_mailboxes.h"
#include "addin/connect_object.h"
#include "addin/out_addin.h"
#include "addin/restart.h"
#include "platform/shell.h"

namespace korvanel::addin {

namespace {

constexpr char16_t kNoCdoNotice[] =
    u"Collaboration Data Objects not installed.\r\nPlease install CDO before you use the Korvanel";

long windowCount(const platform::ApplicationPtr& application, bool explorers) {
  if (!application) return 0;
  if (explorers) {
    platform::ExplorersPtr all = application->explorers();
    return all ? all->count() : 0;
  }
  platform::InspectorsPtr all = application->inspectors();
  return all ? all->count() : 0;
}

}  // namespace

Connect::Connect(platform::Services& services, EngineRoutes routes, profile::AnsiCodePage codePage)
    : context_(std::make_shared<AddinContext>(services, std::move(routes), std::move(codePage))),
      object_(makeConnectObject(context_)) {}

Connect::~Connect() {
  try {
    outAddIn_.reset();
  } catch (...) {
  }
}

void Connect::onConnection(const platform::ApplicationPtr& application, long /*connectMode*/,
                           const platform::COMAddInPtr& addInInst) {
  try {
    // Published first and always, so that the Options page finds the add-in even when it
    // does nothing else in this run.
    if (addInInst) addInInst->setObject(object_);

    // Outlook started without any window (for instance by another program to send mail):
    // nothing is created or hooked.
    if (windowCount(application, true) == 0 && windowCount(application, false) == 0) return;

    context_->state.CdoSession.reset();
    if (!outAddIn_) outAddIn_ = std::make_shared<OutAddIn>(context_);
    // Held locally: unloading the add-in below may drop the member re-entrantly.
    const std::shared_ptr<OutAddIn> outAddIn = outAddIn_;
    outAddIn->InitAddIn(application);

    if (context_->state.OutlookVersion < 12 && !context_->state.CdoSession) {
      context_->services.shell.messageBox(kNoCdoNotice, kAddinTitle, platform::kMbIconInformation);
      if (addInInst) addInInst->setConnect(false);
      outAddIn->ReleaseAddIn();
    }
  } catch (...) {
  }
}

void Connect::onDisconnection(long /*removeMode*/) {
  try {
    releaseOutAddIn();
  } catch (...) {
  }
}

void Connect::releaseOutAddIn() {
  std::shared_ptr<OutAddIn> outAddIn = std::move(outAddIn_);
  if (!outAddIn) outAddIn = std::make_shared<OutAddIn>(context_);
  // Everything it holds of Outlook goes here, before Outlook waits for its objects to end.
  outAddIn->ReleaseAddIn();
  outAddIn.reset();
}

void Connect::onTerminate() {
  try {
    carryOutRestart(*context_);
  } catch (...) {
  }
  try {
    // The add-in is being unloaded: its last references to Outlook go with it.
    outAddIn_.reset();
    context_->objInsp.reset();
    SharedState& state = context_->state;
    state.InspectorWrappers.clear();
    state.SharedAccountsButton.reset();
    state.CdoSession.reset();
    state.MapiNamespace.reset();
    state.ApplicationByClass.reset();
    state.OutlookApp.reset();
  } catch (...) {
  }
}

text::Text Connect::sUN() { return context_->state.CurrentUserName; }

text::Text Connect::sPN() { return context_->state.ProfileName; }

text::Text Connect::sSMBXs() {
  try {
    return refreshAccessibleMailboxes(*context_);
  } catch (...) {
    return context_->state.AccessibleMailboxes;
  }
}

void Connect::IsRestart(std::int16_t mode) { context_->state.RestartMode = mode; }

void Connect::PrepareAccessibleMBX() {
  try {
    addin::PrepareAccessibleMBX(*context_);
  } catch (...) {
  }
}

}  // namespace korvanel::addin
