// The simulated machine as the object model sees it: the registry, the Exchange
// organisation and its mailboxes, personal folders files, the transport's record, the
// creatable classes, the fault plan, and the Outlook that is running (at most one).
// Everything here outlives a single Outlook run, so restarts see the same mail and registry.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/word.h"
#include "sim/faults.h"
#include "sim/model.h"

namespace korvanel::sim {

class Outlook;

struct OutlookOptions {
  int version = 12;          // 11 (Outlook 2003) or 12 (Outlook 2007)
  Text profile;              // empty: the default profile
  bool withExplorer = true;  // false: started without any window
  long uiLanguage = 1033;    // LanguageSettings.LanguageID(msoLanguageIDUI)
  bool wordMail = true;      // Outlook 2003: Word edits mail (its windows lack control 31224)
};

// A message arriving from outside (or from another user of the organisation).
struct IncomingMessage {
  Text from = u"Ann <ann@fabrikam.com>";
  std::vector<Text> to;  // recipient texts, resolved as Outlook resolves them
  std::vector<Text> cc;
  Text subject;
  Text body;
  // Transport headers (0x007D001E) as given; when empty and buildHeaders is set, To and Cc
  // header lines are built from the recipients.
  Text headers;
  bool buildHeaders = true;
  Text xRecipientList;  // the "x-recipientlist" property; also an X-RecipientList
                        // header line when headers are built
  bool readReceipt = false;
  Text account;  // the account it arrives through; empty: the Exchange account
  long itemClass = platform::kOlMail;
  Text conversationIndex;  // hexadecimal; empty gives a fresh 22-byte index
  bool sent = true;        // false for an unsent item showing up among new mail
  Text billing;            // BillingInformation
  Text label;
};

class World {
 public:
  explicit World(platform::Registry& registry);
  // A running Outlook's process ends with its world (Outlook::terminateProcess).
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  platform::Registry& registry() { return registry_; }
  FaultPlan& faults() { return faults_; }
  Organisation& organisation() { return organisation_; }
  ClassRegistry& classes() { return classes_; }

  // CDO 1.21 installed (the "MAPI.Session" class exists on Outlook 2003).
  bool cdoInstalled = true;
  // Outlook's own dialogs (the save question when a changed item closes) go through this
  // shell; set by whoever assembles the simulated machine. Without one they answer No.
  platform::Shell* shell = nullptr;
  // Makes the Word document of a Word-edited window; unset, WordEditor gives nothing.
  std::function<platform::WordDocumentPtr(Outlook& outlook, const ModelItemPtr& item)>
      wordEditorFactory;

  // Served over COM, the running Outlook's user-interface thread is a real one: messageQueued
  // is called whenever Outlook queues a message (so that a window message is posted to run
  // it), and pumping before Outlook processes its queue (so that pending window messages,
  // real keystrokes among them, reach the simulation first).
  std::function<void()> messageQueued;
  std::function<void()> pumping;

  // The user while a program's modal dialog is open. Control 522's Execute opens the Options
  // dialog modally, as Outlook does: it returns only once the dialog has closed, and Outlook
  // processes its messages (events, keystrokes) meanwhile. Each time they have been processed
  // and the dialog is still open, this is called with that Outlook: the user acts (works on
  // the page, presses OK or Cancel, lets mail arrive, ...) and it returns true, or it returns
  // false when the user does nothing more there, and the dialog is cancelled as Esc does.
  // Unset, the user does nothing. The Options dialog the user opens (Outlook::openOptions)
  // is not modal to the caller, who is the user.
  std::function<bool(Outlook& outlook)> whileModal;

  // Transport: delivered copies carry To/Cc transport headers, and optionally an
  // X-RecipientList line and property.
  bool internalHeaders = true;
  bool internalXRecipientList = false;
  std::vector<Transmission> transmissions;
  // What real Outlook would refuse and the product made happen (e.g. a message sent through
  // an account without servers). Tests expect it empty.
  std::vector<Text> anomalies;

  // The personal folders file at this path, created (with its default folders) on first use.
  ModelStorePtr personalFolders(TextView path, TextView displayName);

  // The organisation's public folders (one store, opened by every Exchange profile).
  ModelStorePtr publicFolders();

  // Starts Outlook on options.profile, or the default profile when that is empty. The
  // previous Outlook must have ended; nullptr when the profile does not exist.
  std::shared_ptr<Outlook> startOutlook(const OutlookOptions& options);
  // The running Outlook; nullptr when none runs.
  std::shared_ptr<Outlook> current() const;
  // Called by Outlook::shutDown.
  void outlookEnded(const Outlook& outlook);

  // Puts a message into a folder as the transport delivers it, and tells the running
  // Outlook (which raises NewMailEx and ItemAdd when that folder is its default Inbox).
  ModelItemPtr deliver(const ModelFolderPtr& folder, const IncomingMessage& message);

  // Deterministic identifiers.
  std::uint32_t nextSerial() { return ++serial_; }

 private:
  platform::Registry& registry_;
  FaultPlan faults_;
  Organisation organisation_;
  ClassRegistry classes_;
  std::map<Text, ModelStorePtr> personalFolders_;  // by folded path
  ModelStorePtr publicFolders_;
  std::shared_ptr<Outlook> current_;  // held until it has ended
  std::uint32_t serial_ = 0;
};

}  // namespace korvanel::sim
