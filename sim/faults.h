// Failure injection for the simulation: any named operation ("Registry.queryValue",
// "MailItem.Save", ...) can be told to fail once, on its Nth call, or always. A simulated
// operation asks shouldFail(name) on every call and, when told to, returns its empty value.
// Names are "Object.Member"; fault_calls.h tells which objects the simulation has.
#pragma once

#include <map>
#include <string>

namespace korvanel::sim {

class FaultPlan {
 public:
  // The next call of the operation fails, once.
  void failOnce(const std::string& op) { rules_[op] = Rule{Mode::kOnce, 0}; }
  // The nth call (1-based, counted from now) fails, once.
  void failOnCall(const std::string& op, int nth) { rules_[op] = Rule{Mode::kNth, nth}; }
  // Every call fails until cleared.
  void failAlways(const std::string& op) { rules_[op] = Rule{Mode::kAlways, 0}; }
  void clear(const std::string& op) { rules_.erase(op); }
  void clearAll() { rules_.clear(); }

  // Counts every call asked about, by name, from now on: a sweep learns from it which
  // calls a run makes and how often.
  void startCounting() {
    counting_ = true;
    calls_.clear();
  }
  const std::map<std::string, int>& calls() const { return calls_; }

  // Called by the simulated operation on each call; true when this call must fail.
  bool shouldFail(const std::string& op) {
    if (counting_) ++calls_[op];
    auto it = rules_.find(op);
    if (it == rules_.end()) return false;
    Rule& rule = it->second;
    switch (rule.mode) {
      case Mode::kAlways:
        ++failures_[op];
        return true;
      case Mode::kOnce:
        rules_.erase(it);
        ++failures_[op];
        return true;
      case Mode::kNth:
        if (--rule.remaining > 0) return false;
        rules_.erase(it);
        ++failures_[op];
        return true;
    }
    return false;
  }

  // How many calls of the operation were made to fail so far.
  int failures(const std::string& op) const {
    auto it = failures_.find(op);
    return it == failures_.end() ? 0 : it->second;
  }

 private:
  enum class Mode { kOnce, kNth, kAlways };
  struct Rule {
    Mode mode;
    int remaining;
  };
  std::map<std::string, Rule> rules_;
  std::map<std::string, int> failures_;
  std::map<std::string, int> calls_;
  bool counting_ = false;
};

}  // namespace korvanel::sim
