#include "sim/addin_host.h"

namespace korvanel::sim {

using platform::kExtCmStartup;
using platform::kExtDmHostShutdown;
using platform::kExtDmUserClosed;

AddInHost::AddInHost(std::shared_ptr<Outlook> outlook, std::function<void(TextView)> journal,
                     std::function<void()> ended)
    : outlook_(std::move(outlook)), journal_(std::move(journal)), ended_(std::move(ended)) {
  if (outlook_) {
    quitWatch_ = outlook_->quitRequestedSignal.connect([this] { onQuitRequested(); });
  }
}

AddInHost::~AddInHost() {
  *alive_ = false;
  quitWatch_.reset();
  // Add-ins still connected are released without the shut-down events; their Terminate
  // runs here and must find this host already empty.
  auto loaded = std::move(addIns_);
  addIns_.clear();
  for (auto& a : loaded) {
    a->connectWatch.reset();
    // Office no longer holds what the add-in published (it may hold the Application).
    if (a->entry) a->entry->dropObject();
    a->object.reset();
  }
}

void AddInHost::record(const Loaded& addIn, TextView event) {
  Text line = addIn.progId + u" " + Text(event);
  if (journal_) journal_(line);
  events_.push_back(std::move(line));
}

platform::AddIn* AddInHost::addIn(TextView progId) const {
  for (const auto& a : addIns_) {
    if (a->object && text::equalsNoCase(a->progId, progId)) return a->object.get();
  }
  return nullptr;
}

void AddInHost::start(const std::vector<Text>& progIds) {
  if (!outlook_ || outlook_->ended()) return;
  World& world = outlook_->world();
  // Office's own reference goes once the add-ins are connected: it must not count as one an
  // add-in holds when a quit asked for meanwhile ends Outlook below.
  platform::ApplicationPtr application = outlook_->application();

  connecting_ = true;
  for (const Text& progId : progIds) {
    auto loaded = std::make_unique<Loaded>();
    loaded->progId = progId;
    loaded->entry = outlook_->addComAddIn(progId);
    loaded->object = world.classes().createAddIn(progId);
    if (!loaded->object) {
      // Office lists it, unloaded, as it does for a class that cannot be created.
      loaded->entry->setConnected(false);
      record(*loaded, u"not loaded: the class cannot be created");
      addIns_.push_back(std::move(loaded));
      continue;
    }
    loaded->entry->setConnected(true);
    Loaded* raw = loaded.get();
    std::weak_ptr<bool> alive = alive_;
    loaded->connectWatch = loaded->entry->connectChanged.connect([this, raw, alive](bool value) {
      if (value || alive.expired() || connecting_ || shuttingDown_) return;
      // Unloading waits until the add-in's own call has returned to Office.
      outlook_->queue().post([this, raw, alive] {
        if (alive.expired() || shuttingDown_ || !raw->object || raw->entry->connect()) return;
        disconnect(*raw, kExtDmUserClosed);
        release(*raw);
      });
    });
    addIns_.push_back(std::move(loaded));
    record(*raw, u"OnConnection");
    raw->object->onConnection(application, kExtCmStartup, raw->entry);
  }
  application.reset();
  // Add-ins that unloaded themselves while connecting go now.
  dropUnconnected();
  connecting_ = false;

  if (quitPending_) {
    shutDown();
    return;
  }
  for (auto& a : addIns_) {
    if (a->object) {
      record(*a, u"OnAddInsUpdate");
      a->object->onAddInsUpdate();
    }
  }
  for (auto& a : addIns_) {
    if (a->object && !quitPending_) {
      record(*a, u"OnStartupComplete");
      a->object->onStartupComplete();
    }
  }
  dropUnconnected();
  if (quitPending_) {
    shutDown();
    return;
  }
  outlook_->pump();
}

void AddInHost::dropUnconnected() {
  for (auto& a : addIns_) {
    if (a->object && !a->entry->connect()) {
      disconnect(*a, kExtDmUserClosed);
      release(*a);
    }
  }
}

void AddInHost::onQuitRequested() {
  if (done_ || shuttingDown_) return;
  if (connecting_) {
    quitPending_ = true;  // the connection completes first
    return;
  }
  quitPending_ = true;
  std::weak_ptr<bool> alive = alive_;
  // Outlook ends once the current event has returned to it.
  outlook_->queue().post([this, alive] {
    if (!alive.expired()) shutDown();
  });
}

void AddInHost::disconnect(Loaded& addIn, long removeMode) {
  record(addIn, u"OnDisconnection");
  addIn.object->onDisconnection(removeMode);
  // Office drops the published Object with the connection.
  addIn.entry->dropObject();
  addIn.entry->setConnected(false);
}

void AddInHost::release(Loaded& addIn) {
  std::weak_ptr<platform::AddIn> watch = addIn.object;
  record(addIn, u"Release");
  addIn.object.reset();  // the last reference runs Terminate
  if (watch.expired()) {
    record(addIn, u"Terminate");
  } else {
    anomalies_.push_back(addIn.progId +
                         u": the add-in's object is still referenced after its "
                         u"release, so its Terminate has not run");
  }
  addIn.connectWatch.reset();
}

void AddInHost::shutDown() {
  if (done_ || shuttingDown_ || !outlook_) return;
  shuttingDown_ = true;
  // Outlook's own dialog closes first (its page holds Outlook's Application).
  if (outlook_->optionsDialog().isOpen()) outlook_->optionsDialog().pressCancel();
  for (auto& a : addIns_) {
    if (a->object) {
      record(*a, u"OnBeginShutdown");
      a->object->onBeginShutdown();
    }
  }
  for (auto& a : addIns_) {
    if (a->object) disconnect(*a, kExtDmHostShutdown);
  }
  // Outlook waits for its objects before it unloads the add-ins and ends: while a
  // disconnected add-in still holds any, its windows close but its process stays, and no
  // Outlook can start after it.
  if (const int held = outlook_->heldObjects(); held > 0) {
    anomalies_.push_back(u"Outlook could not end: " + text::toText(held) +
                         u" of its objects were still held after the add-ins were disconnected");
    outlook_->closeAllWindows();
    done_ = true;
    shuttingDown_ = false;
    return;
  }
  for (auto& a : addIns_) {
    if (a->object) release(*a);
  }
  outlook_->shutDown();
  done_ = true;
  shuttingDown_ = false;
  if (ended_) ended_();
}

}  // namespace korvanel::sim
