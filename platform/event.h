// Events of the platform objects. An event source hands out a Connection; the handler is
// called exactly while that Connection is held (moving it keeps it live, destroying or
// resetting it disconnects). Handlers receive their arguments by reference; an in/out
// argument such as Cancel is a bool&. Single-threaded.
//
// Signal is the helper implementations use to keep their handlers: emit() calls the handlers
// connected at that moment, in connection order; a handler that is disconnected while another
// runs is not called; connecting or disconnecting from inside a handler is safe, and so is
// the destruction of the signal's owner (its connections then simply do nothing).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace korvanel::platform {

class Connection {
 public:
  Connection() = default;
  explicit Connection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Connection(Connection&& other) noexcept : disconnect_(std::exchange(other.disconnect_, nullptr)) {}
  Connection& operator=(Connection&& other) noexcept {
    if (this != &other) {
      reset();
      disconnect_ = std::exchange(other.disconnect_, nullptr);
    }
    return *this;
  }
  ~Connection() { reset(); }

  void reset() noexcept {
    if (auto disconnect = std::exchange(disconnect_, nullptr)) disconnect();
  }
  bool connected() const { return static_cast<bool>(disconnect_); }
  explicit operator bool() const { return connected(); }

 private:
  std::function<void()> disconnect_;
};

template <typename... Args>
class Signal {
 public:
  using Handler = std::function<void(Args...)>;

  Signal() = default;
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  // An empty handler gives an empty connection.
  Connection connect(Handler handler) {
    if (!handler) return Connection();
    const std::uint64_t id = state_->nextId++;
    state_->slots.push_back(Slot{id, std::make_shared<Handler>(std::move(handler))});
    std::weak_ptr<State> weak = state_;
    return Connection([weak, id] {
      if (auto state = weak.lock()) {
        std::erase_if(state->slots, [id](const Slot& slot) { return slot.id == id; });
      }
    });
  }

  void emit(Args... args) const {
    std::shared_ptr<State> state = state_;  // survives the owner's destruction in a handler
    const std::vector<Slot> snapshot = state->slots;
    for (const Slot& slot : snapshot) {
      const bool live = std::any_of(state->slots.begin(), state->slots.end(),
                                    [&](const Slot& s) { return s.id == slot.id; });
      if (live) (*slot.handler)(args...);
    }
  }

  std::size_t size() const { return state_->slots.size(); }
  bool empty() const { return state_->slots.empty(); }

 private:
  struct Slot {
    std::uint64_t id;
    std::shared_ptr<Handler> handler;
  };
  struct State {
    std::vector<Slot> slots;
    std::uint64_t nextId = 1;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace korvanel::platform
