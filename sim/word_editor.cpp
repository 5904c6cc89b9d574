#include "sim/word_editor.h"

#include "sim/outlook_app.h"

namespace korvanel::sim {

// Shared by the editor and every object it hands out, so those objects may outlive it.
struct WordEditor::State {
  struct Document {
    std::weak_ptr<ModelItem> item;
    std::weak_ptr<ModelInspector> inspector;
    bool open = true;
    int generation = 0;
  };

  FaultPlan* faults = nullptr;
  int generation = 0;  // one per start of Word
  bool running = false;
  bool customizationSaved = false;
  int userWindows = 0;
  int quits = 0;
  int closed = 0;
  std::vector<Text> anomalies;
  std::vector<std::shared_ptr<Document>> documents;

  bool fail(const char* op) const { return faults != nullptr && faults->shouldFail(op); }

  static bool windowOpen(const Document& d) {
    if (!d.open) return false;
    auto inspector = d.inspector.lock();
    return !inspector || inspector->isOpen;
  }
  int openCount() const {
    int n = 0;
    for (const auto& d : documents) {
      if (d->generation == generation && windowOpen(*d)) ++n;
    }
    return n;
  }
  void start() {
    ++generation;
    running = true;
    customizationSaved = false;
    documents.clear();
  }
};

namespace {

using State = WordEditor::State;
using Document = WordEditor::State::Document;

class WordApplicationImpl final : public platform::WordApplication {
 public:
  WordApplicationImpl(std::shared_ptr<State> state, int generation)
      : state_(std::move(state)), generation_(generation) {}

  bool setCustomizationContextSaved(bool value) override {
    if (state_->fail("WordApplication.CustomizationContext") || !alive()) return false;
    state_->customizationSaved = value;
    return true;
  }
  long windowsCount() override {
    if (state_->fail("WordApplication.Windows") || !alive()) return 0;
    return state_->openCount() + state_->userWindows;
  }
  bool quit(long) override {
    if (state_->fail("WordApplication.Quit") || !alive()) return false;
    ++state_->quits;
    if (state_->userWindows > 0) {
      state_->anomalies.push_back(u"Word quit with " + text::toText(state_->userWindows) +
                                  u" of the user's own windows open");
      state_->userWindows = 0;
    }
    if (!state_->customizationSaved) {
      state_->anomalies.push_back(u"Word asked whether to save the Normal template at Quit");
    }
    for (auto& d : state_->documents) d->open = false;
    state_->documents.clear();
    state_->running = false;
    return true;
  }

 private:
  bool alive() const { return state_->running && state_->generation == generation_; }
  std::shared_ptr<State> state_;
  int generation_;
};

class WordDocumentImpl final : public platform::WordDocument {
 public:
  WordDocumentImpl(std::shared_ptr<State> state, std::shared_ptr<Document> document)
      : state_(std::move(state)), document_(std::move(document)) {}

  platform::WordApplicationPtr application() override {
    if (state_->fail("WordDocument.Application")) return nullptr;
    return app();
  }
  platform::WordApplicationPtr parent() override {
    if (state_->fail("WordDocument.Parent")) return nullptr;
    return app();
  }
  bool close(long) override {
    if (state_->fail("WordDocument.Close") || !alive()) return false;
    document_->open = false;
    ++state_->closed;
    return true;
  }

 private:
  bool alive() const {
    return state_->running && document_->generation == state_->generation &&
           State::windowOpen(*document_);
  }
  platform::WordApplicationPtr app() {
    if (!alive()) return nullptr;
    return std::make_shared<WordApplicationImpl>(state_, document_->generation);
  }
  std::shared_ptr<State> state_;
  std::shared_ptr<Document> document_;
};

}  // namespace

WordEditor::WordEditor(FaultPlan* faults) : state_(std::make_shared<State>()) {
  state_->faults = faults;
}

WordEditor::~WordEditor() = default;

void WordEditor::install(World& world) {
  world.wordEditorFactory = [this](Outlook& outlook, const ModelItemPtr& item) {
    return documentFor(outlook, item);
  };
}

platform::WordDocumentPtr WordEditor::documentFor(Outlook& outlook, const ModelItemPtr& item) {
  if (!item) return nullptr;
  if (!state_->running) state_->start();
  for (const auto& d : state_->documents) {
    if (d->item.lock() == item && State::windowOpen(*d)) {
      return std::make_shared<WordDocumentImpl>(state_, d);
    }
  }
  auto document = std::make_shared<Document>();
  document->item = item;
  document->inspector = outlook.inspectorOf(*item);
  document->generation = state_->generation;
  state_->documents.push_back(document);
  return std::make_shared<WordDocumentImpl>(state_, document);
}

void WordEditor::setUserWindows(int count) {
  // The user's windows run in the same Word.
  if (count > 0 && !state_->running) state_->start();
  state_->userWindows = count;
}
int WordEditor::userWindows() const { return state_->userWindows; }
bool WordEditor::running() const { return state_->running; }
int WordEditor::openDocuments() const { return state_->running ? state_->openCount() : 0; }
int WordEditor::quits() const { return state_->quits; }
int WordEditor::documentsClosed() const { return state_->closed; }
const std::vector<Text>& WordEditor::anomalies() const { return state_->anomalies; }

}  // namespace korvanel::sim
