#include "addin/cls_insp_wrap.h"

#include <utility>
#include <vector>

#include "addin/account_guard.h"
#include "addin/insp_tracking.h"
#include "addin/sender_resolution.h"
#include "addin/stamp_item.h"

namespace korvanel::addin {

namespace {

// A handler bound to the wrapper: it runs only while the wrapper exists, and keeps it
// alive until it returns (a close handler drops the collection's reference).
template <typename... Args, typename Method>
auto bound(const std::weak_ptr<clsInspWrap>& weak, Method method) {
  return [weak, method](Args... args) {
    if (const std::shared_ptr<clsInspWrap> self = weak.lock()) {
      try {
        ((*self).*method)(args...);
      } catch (...) {
      }
    }
  };
}

// A new message that nothing but the add-in's own mark has touched: no recipient, no
// attachment, no body, no subject. A read that fails counts as touched.
bool isUntouched(platform::Item& item) {
  const platform::RecipientsPtr recipients = item.recipients();
  const platform::AttachmentsPtr attachments = item.attachments();
  if (!recipients || !attachments) return false;
  return recipients->count() < 1 && attachments->count() < 1 && item.body().empty() &&
         item.subject().empty();
}

}  // namespace

clsInspWrap::clsInspWrap(AddinContext& ctx) : ctx_(ctx) {}

clsInspWrap::~clsInspWrap() = default;

void clsInspWrap::Inspector(const platform::InspectorPtr& inspector) {
  std::vector<platform::Connection> connections;
  if (inspector) {
    const std::weak_ptr<clsInspWrap> weak = weak_from_this();
    connections.push_back(inspector->onActivate(bound<>(weak, &clsInspWrap::m_objInsp_Activate)));
    connections.push_back(
        inspector->onDeactivate(bound<>(weak, &clsInspWrap::m_objInsp_Deactivate)));
    connections.push_back(inspector->onClose(bound<>(weak, &clsInspWrap::m_objInsp_Close)));
  }
  m_objInsp.set(inspector, std::move(connections));
}

void clsInspWrap::MailItem(const platform::ItemPtr& item) {
  std::vector<platform::Connection> connections;
  if (item) {
    const std::weak_ptr<clsInspWrap> weak = weak_from_this();
    connections.push_back(item->onClose(bound<bool&>(weak, &clsInspWrap::m_objMail_Close)));
    connections.push_back(item->onRead(bound<>(weak, &clsInspWrap::m_objMail_Read)));
    connections.push_back(item->onCustomPropertyChange(
        bound<const text::Text&>(weak, &clsInspWrap::m_objMail_CustomPropertyChange)));
  }
  m_objMail.set(item, std::move(connections));
}

void clsInspWrap::ContactItem(const platform::ItemPtr& item) {
  std::vector<platform::Connection> connections;
  if (item) {
    const std::weak_ptr<clsInspWrap> weak = weak_from_this();
    connections.push_back(item->onClose(bound<bool&>(weak, &clsInspWrap::m_objContact_Close)));
  }
  m_objContact.set(item, std::move(connections));
}

void clsInspWrap::TaskItem(const platform::ItemPtr& item) { m_objTask = item; }

void clsInspWrap::MeetingItem(const platform::ItemPtr& item) { m_objMeeting = item; }

void clsInspWrap::m_objInsp_Activate() {
  const platform::InspectorPtr inspector = m_objInsp.get();
  if (!inspector) return;
  if (resolveSenderOnActivate(ctx_, inspector)) hookAccountsButton();
}

void clsInspWrap::hookAccountsButton() {
  if (accButton_) return;
  const platform::InspectorPtr inspector = m_objInsp.get();
  if (!inspector) return;
  platform::CommandBarControlPtr button = findAccountsButton(ctx_, *inspector, mayBorrow_);
  // The window may have been deactivated or closed while a borrowed window was shown.
  if (!button || !m_objInsp) return;
  std::vector<platform::Connection> connections;
  connections.push_back(button->onClick(bound<const platform::CommandBarControlPtr&, bool&>(
      weak_from_this(), &clsInspWrap::accButton_Click)));
  accButton_.set(std::move(button), std::move(connections));
}

void clsInspWrap::m_objInsp_Deactivate() {
  // Only the active window's wrapper hears the drop-down.
  accButton_.reset();
}

void clsInspWrap::m_objInsp_Close() { unregister(); }

void clsInspWrap::m_objMail_Close(bool& cancel) {
  // Discarding raises the item's Close again; that inner one has nothing left to do.
  if (closingMail_) return;
  if (const platform::ItemPtr mail = m_objMail.get()) {
    // A new message that only carries the add-in's mark closes without the save question.
    if (!mail->saved() && !customPropertyChanged_ && isUntouched(*mail)) {
      closingMail_ = true;
      mail->close(platform::kOlDiscard);
      closingMail_ = false;
    }
  }
  customPropertyChanged_ = false;
  if (!cancel) unregister();
}

void clsInspWrap::m_objMail_Read() {
  const platform::ItemPtr mail = m_objMail.get();
  if (!mail) return;
  if (ctx_.state.OutlookVersion >= 12) {
    CompleteStamp(ctx_, mail, false);
  } else {
    CompleteStampCDO(ctx_, mail, false);
  }
}

void clsInspWrap::m_objMail_CustomPropertyChange(const text::Text& /*name*/) {
  customPropertyChanged_ = true;
}

void clsInspWrap::m_objContact_Close(bool& cancel) {
  if (!cancel) unregister();
}

void clsInspWrap::accButton_Click(const platform::CommandBarControlPtr& ctrl, bool& cancelDefault) {
  addin::accButton_Click(ctx_, ctrl, cancelDefault);
}

void clsInspWrap::unregister() {
  KillInsp(ctx_, key_, this);
  m_objInsp.reset();
}

}  // namespace korvanel::addin
