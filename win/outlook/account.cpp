#include "win/outlook/account.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

namespace {

class AccountsAdapter final : public platform::Accounts, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::AccountPtr item(long index) override { return makeAccount(object(u"Item", {index})); }
};

class AccountAdapter final : public platform::Account, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::Text displayName() override { return text(u"DisplayName"); }
};

}  // namespace

platform::AccountsPtr makeAccounts(ComPtr<IDispatch> accounts) {
  return adapt<AccountsAdapter>(std::move(accounts));
}

platform::AccountPtr makeAccount(ComPtr<IDispatch> account) {
  return adapt<AccountAdapter>(std::move(account));
}

}  // namespace korvanel::win
