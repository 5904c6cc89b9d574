// Word as Outlook's mail editor: one Word application (process) that edits the item windows
// Outlook opens with Word, plus the windows the user has open in Word besides them. The
// document of a window is the same object while the window is open. Quitting Word closes
// every one of its windows, the user's too; doing so, or quitting without marking the
// Normal template saved, is recorded as an anomaly, since the user would see it.
//
// Failure injection (World::faults()): "WordDocument.Application", "WordDocument.Parent",
// "WordDocument.Close", "WordApplication.CustomizationContext", "WordApplication.Windows",
// "WordApplication.Quit".
#pragma once

#include <memory>
#include <vector>

#include "platform/word.h"
#include "sim/faults.h"
#include "sim/model.h"

namespace korvanel::sim {

class Outlook;
class World;

class WordEditor {
 public:
  // The fault plan, when given, must outlive this object and the documents it hands out.
  explicit WordEditor(FaultPlan* faults = nullptr);
  ~WordEditor();
  WordEditor(const WordEditor&) = delete;
  WordEditor& operator=(const WordEditor&) = delete;

  // Makes this editor the one Outlook uses (World::wordEditorFactory). The editor must
  // outlive the world's use of it.
  void install(World& world);
  // The document editing the item's window; Word starts when it is not running.
  platform::WordDocumentPtr documentFor(Outlook& outlook, const ModelItemPtr& item);

  // Word windows the user has open outside Outlook (documents of their own).
  void setUserWindows(int count);
  int userWindows() const;

  bool running() const;
  // Documents open for Outlook's windows (a document counts while its window is open).
  int openDocuments() const;
  int quits() const;
  int documentsClosed() const;
  // What the user would have seen go wrong: their own documents closed by a Quit, Word
  // asking whether to save the Normal template.
  const std::vector<Text>& anomalies() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace korvanel::sim
