#include "tools/korvanel-sim/observed_addin.h"

#include "profile/account_store.h"
#include "profile/profile_settings.h"
#include "sim/outlook_app.h"

namespace korvanel::tool {

using text::Text;

void ObservedAddIn::onConnection(const platform::ApplicationPtr& application, long connectMode,
                                 const platform::COMAddInPtr& addInInst) {
  state_ = addin::SharedState();
  if (const std::shared_ptr<sim::Outlook> outlook = machine_.outlook()) {
    const Text profile = outlook->profileName();
    profile::AccountStore accounts(machine_.registry());
    accounts.LoadProfileSmtpAddresses(profile);
    accounts.EnumIdentityAccounts(profile);
    state_.ProfileName = profile;
    state_.ExchangeAccountName = accounts.ExchangeAccountName();
    state_.ExchangeStamp = accounts.ExchangeStamp();
    state_.ReplyAddressFormat = profile::kDefaultReplyAddressFormat;
    const Text stored =
        profile::ProfileSettings(machine_.registry()).LoadReplyAddressFormat(profile);
    if (!stored.empty()) {
      state_.ReplyAddressFormat = static_cast<std::int16_t>(profile::replyAddressFormatOf(stored));
    }
    state_.IdentityTable = addin::IdentityTable::fromAccountLists(accounts.IdentityLists());
  }
  addIn_->onConnection(application, connectMode, addInInst);
}

}  // namespace korvanel::tool
