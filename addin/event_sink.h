// An event sink: a reference to an Outlook object together with the connections of the
// events the add-in receives from it. Events arrive exactly while the sink is set;
// resetting it (or destroying its owner) disconnects them first, then lets go of the object.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/event.h"

namespace korvanel::addin {

template <typename T>
class EventSink {
 public:
  EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;
  ~EventSink() { reset(); }

  // Replaces whatever the sink held (the old events stop first).
  void set(std::shared_ptr<T> object, std::vector<platform::Connection> connections) {
    reset();
    object_ = std::move(object);
    if (object_) connections_ = std::move(connections);
  }
  void reset() {
    // Moved out first: a handler that the disconnection reaches may touch this sink again.
    std::vector<platform::Connection> connections = std::move(connections_);
    connections_.clear();
    connections.clear();
    object_.reset();
  }

  const std::shared_ptr<T>& get() const { return object_; }
  T* operator->() const { return object_.get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }

 private:
  std::shared_ptr<T> object_;
  std::vector<platform::Connection> connections_;
};

}  // namespace korvanel::addin
