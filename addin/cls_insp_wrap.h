// clsInspWrap: the add-in's companion of one open item window. It receives the events of
// the window and of its item: activation on a new item runs the sender selection and hooks
// the accounts drop-down; reading a received mail completes its stamp; closing takes the
// wrapper out of SharedState::InspectorWrappers.
//
// Create it with std::make_shared (its handlers keep it alive while they run, since one of
// them may drop the collection's reference). It lives inside the context it is given.
// No handler lets an exception escape. Single-threaded.
#pragma once

#include <cstdint>
#include <memory>

#include "addin/addin_context.h"
#include "addin/event_sink.h"
#include "platform/office.h"
#include "platform/outlook.h"
#include "text/text.h"

namespace korvanel::addin {

class clsInspWrap : public std::enable_shared_from_this<clsInspWrap> {
 public:
  explicit clsInspWrap(AddinContext& ctx);
  ~clsInspWrap();
  clsInspWrap(const clsInspWrap&) = delete;
  clsInspWrap& operator=(const clsInspWrap&) = delete;

  // Property lets, called by AddInsp in this order; each replaces what the member held.
  void Inspector(const platform::InspectorPtr& inspector);
  void MailItem(const platform::ItemPtr& item);
  void ContactItem(const platform::ItemPtr& item);
  void TaskItem(const platform::ItemPtr& item);
  void MeetingItem(const platform::ItemPtr& item);
  void Key(std::int64_t key) { key_ = key; }
  // Property gets.
  const platform::InspectorPtr& Inspector() const { return m_objInsp.get(); }
  std::int64_t Key() const { return key_; }
  // The hooked accounts drop-down entry while the window is active; nullptr otherwise.
  const platform::CommandBarControlPtr& accButton() const { return accButton_.get(); }

  // Event handlers.
  void m_objInsp_Activate();
  void m_objInsp_Deactivate();
  void m_objInsp_Close();
  void m_objMail_Close(bool& cancel);
  void m_objMail_Read();
  void m_objMail_CustomPropertyChange(const text::Text& name);
  void m_objContact_Close(bool& cancel);
  void accButton_Click(const platform::CommandBarControlPtr& ctrl, bool& cancelDefault);

 private:
  // Hooks the accounts drop-down entry (see account_guard.h) unless already hooked.
  void hookAccountsButton();
  // KillInsp for this wrapper, then lets go of the window.
  void unregister();

  AddinContext& ctx_;
  EventSink<platform::Inspector> m_objInsp;
  EventSink<platform::Item> m_objMail;
  EventSink<platform::Item> m_objContact;
  platform::ItemPtr m_objTask;
  platform::ItemPtr m_objMeeting;
  EventSink<platform::CommandBarControl> accButton_;
  std::int64_t key_ = 0;
  bool closingMail_ = false;
  // A user-defined property of this window's mail changed since its last close: kept per
  // window, so that closing another window never lets this one be discarded.
  bool customPropertyChanged_ = false;
  // A meeting window may still be borrowed for this item's accounts drop-down (once).
  bool mayBorrow_ = true;
};

}  // namespace korvanel::addin
