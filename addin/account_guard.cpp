#include "addin/account_guard.h"

#include "addin/exchange_account.h"
#include "addin/identity_text_forms.h"
#include "platform/shell.h"

namespace korvanel::addin {

namespace {

using text::Text;
using text::TextView;

constexpr char16_t kStandardBar[] = u"Standard";

// The first entry of a drop-down; nullptr when it has none.
platform::CommandBarControlPtr firstEntry(const platform::CommandBarControlPtr& dropDown) {
  const platform::CommandBarControlsPtr entries = dropDown ? dropDown->controls() : nullptr;
  return entries ? entries->item(1) : nullptr;
}

platform::CommandBarControlPtr findAccountsDropDown(const platform::CommandBarsPtr& bars) {
  return bars ? bars->findControl(platform::kAccountsControlId) : nullptr;
}

// A window without a drop-down of its own (a task, a Word-edited mail) still needs the
// shared entry: a meeting window has one, so one is opened, searched and discarded.
platform::CommandBarControlPtr borrowMeetingWindowEntry(AddinContext& ctx) {
  SharedState& state = ctx.state;
  const platform::ApplicationPtr app = state.OutlookApp;
  if (!app) return nullptr;
  const platform::ItemPtr meeting = app->createItem(platform::kOlAppointmentItem);
  if (!meeting) return nullptr;

  // The borrowed window is activated like any other; the guard must keep reading the
  // flags of the window the user works in.
  const bool composeIsMail = state.ComposeIsMail;
  const bool composeIsTask = state.ComposeIsTask;
  const bool composeIsAppointment = state.ComposeIsAppointment;
  const Text senderKeys = state.SenderKeys;

  platform::Shell& shell = ctx.services.shell;
  meeting->setMeetingStatus(platform::kOlMeeting);
  meeting->display();
  shell.doEvents();
  const platform::InspectorPtr window = meeting->getInspector();
  platform::CommandBarControlPtr entry =
      firstEntry(findAccountsDropDown(window ? window->commandBars() : nullptr));
  if (entry) state.SharedAccountsButton = entry;
  meeting->close(platform::kOlDiscard);
  shell.doEvents();

  state.ComposeIsMail = composeIsMail;
  state.ComposeIsTask = composeIsTask;
  state.ComposeIsAppointment = composeIsAppointment;
  state.SenderKeys = senderKeys;
  return entry;
}

}  // namespace

platform::CommandBarControlPtr findAccountsButton(AddinContext& ctx, platform::Inspector& inspector,
                                                  bool& mayBorrow) {
  SharedState& state = ctx.state;
  if (state.SharedAccountsButton) return state.SharedAccountsButton;

  const platform::CommandBarsPtr bars = inspector.commandBars();
  if (bars) {
    // A customised toolbar may have lost the drop-down; the built-in one has it.
    if (const platform::CommandBarPtr standard = bars->item(kStandardBar)) standard->reset();
    if (const platform::CommandBarControlPtr dropDown = findAccountsDropDown(bars)) {
      platform::CommandBarControlPtr entry = firstEntry(dropDown);
      if (entry) state.SharedAccountsButton = entry;
      return entry;
    }
  }
  // A Word-edited mail window on Outlook 2003 is left without the hook.
  if (inspector.isWordMail() && state.OutlookVersion < 12) return nullptr;
  if (!mayBorrow || state.BorrowingMeetingWindow) return nullptr;
  mayBorrow = false;
  state.BorrowingMeetingWindow = true;
  platform::CommandBarControlPtr entry;
  try {
    entry = borrowMeetingWindowEntry(ctx);
  } catch (...) {
  }
  state.BorrowingMeetingWindow = false;
  return entry;
}

Text accountNameOfCaption(TextView caption) {
  const std::size_t space = caption.find(u' ');
  if (space == TextView::npos) return Text(caption);
  return text::trim(caption.substr(space));
}

bool refusesAccount(const SharedState& state, TextView accountName) {
  if (!state.ComposeIsTask && !state.ComposeIsAppointment) return false;
  // The user's own account, even when named like an identity's.
  if (isExchangeAccount(state, accountName)) return false;
  const bool identity = isAddressAccountName(accountName) || isMailboxAccountName(accountName);
  if (state.OutlookVersion < 12) return identity;
  // Outlook 2007 sends appointments through an address identity, never through a mailbox
  // identity; task requests through neither.
  return isMailboxAccountName(accountName) || (state.ComposeIsTask && identity);
}

Text refusalMessage(TextView accountName) {
  return u"Sorry, you cannot use account '" + Text(accountName) + u"' to send this message.";
}

void accButton_Click(AddinContext& ctx, const platform::CommandBarControlPtr& ctrl,
                     bool& cancelDefault) {
  try {
    const SharedState& state = ctx.state;
    if (!state.ComposeIsTask && !state.ComposeIsAppointment) return;
    if (!ctrl) return;
    const Text name = accountNameOfCaption(ctrl->caption());
    if (!refusesAccount(state, name)) return;
    ctx.services.shell.messageBox(refusalMessage(name), kAddinTitle,
                                  platform::kMbOk | platform::kMbIconExclamation);
    cancelDefault = true;
  } catch (...) {
  }
}

}  // namespace korvanel::addin
