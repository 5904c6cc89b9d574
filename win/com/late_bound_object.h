// The base of every adapter over a late-bound COM object: members reached by name, each
// call giving the platform's empty value when it fails (nullptr, "", 0, false, an empty
// Variant). Nothing here throws.
#pragma once

#include <oaidl.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "platform/variant.h"
#include "win/com/com_variant.h"
#include "win/com/late_bound.h"

namespace korvanel::win {

// One argument as a call site writes it; it refers to the caller's data, so making one
// allocates nothing.
class Argument {
 public:
  Argument(int n) : kind_(Kind::number), number_(n) {}     // NOLINT(google-explicit-constructor)
  Argument(long n) : kind_(Kind::number), number_(n) {}    // NOLINT
  Argument(bool b) : kind_(Kind::boolean), boolean_(b) {}  // NOLINT
  Argument(text::TextView t) : kind_(Kind::text), text_(t) {}                   // NOLINT
  Argument(const char16_t* t) : kind_(Kind::text), text_(t) {}                  // NOLINT
  Argument(const platform::Variant& v) : kind_(Kind::variant), variant_(&v) {}  // NOLINT
  // Several values as one array argument (VT_ARRAY | VT_VARIANT).
  Argument(const std::vector<platform::Variant>& list)  // NOLINT
      : kind_(Kind::list), list_(&list) {}

  // Writes the argument into *out (initialised, empty); false when it cannot be built.
  bool build(VARIANT* out) const noexcept;

 private:
  enum class Kind { number, boolean, text, variant, list };
  Kind kind_;
  long number_ = 0;
  bool boolean_ = false;
  text::TextView text_;
  const platform::Variant* variant_ = nullptr;
  const std::vector<platform::Variant>* list_ = nullptr;
};

// The arguments of one call, owned for its duration: values, objects, or an optional
// argument left out.
class CallArguments {
 public:
  CallArguments() = default;
  CallArguments(std::initializer_list<Argument> values);  // NOLINT: {a, b} at call sites
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;
  ~CallArguments();

  // Nothing here throws: a value that cannot be built makes the arguments incomplete, and
  // a call with incomplete arguments fails without being made.
  CallArguments& add(const Argument& value);
  // A reference of the caller's object (null gives Nothing).
  CallArguments& addObject(IDispatch* object);
  CallArguments& addMissing();

  // False when a value could not be built (out of memory).
  bool complete() const { return complete_; }
  std::span<const VARIANT> get() const { return values_; }

 private:
  void push(VARIANT& v);

  std::vector<VARIANT> values_;
  bool complete_ = true;
};

class LateBoundObject {
 public:
  explicit LateBoundObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  virtual ~LateBoundObject() = default;

  // The COM object behind the adapter (not null for an adapter made by a make... function).
  IDispatch* comObject() const { return object_.get(); }

  // Members by name; on a null object every call fails.
  platform::Variant value(text::TextView member, const CallArguments& args = {}) noexcept;
  text::Text text(text::TextView member, const CallArguments& args = {}) noexcept;
  long number(text::TextView member, const CallArguments& args = {}) noexcept;
  bool flag(text::TextView member, const CallArguments& args = {}) noexcept;
  // A property or method that gives an object; null when it fails or gives Nothing.
  ComPtr<IDispatch> object(text::TextView member, const CallArguments& args = {}) noexcept;
  ComPtr<IUnknown> unknown(text::TextView member) noexcept;

  bool set(text::TextView member, const Argument& value) noexcept;
  // Set of a property that holds an object (null sets Nothing).
  bool setObject(text::TextView member, IDispatch* value) noexcept;
  // A method whose result is not needed.
  bool run(text::TextView member, const CallArguments& args = {}) noexcept;
  // A method's result as a platform value.
  platform::Variant call(text::TextView member, const CallArguments& args = {}) noexcept;
  // A method's result as it came: VT_ERROR when the call failed (with its HRESULT).
  void callForResult(text::TextView member, const CallArguments& args, ComVariant& result) noexcept;
  // A method that gives an object.
  ComPtr<IDispatch> callObject(text::TextView member, const CallArguments& args = {}) noexcept;

 private:
  LateBound object_;
};

// The COM object behind a late-bound adapter; null for anything else.
template <class T>
IDispatch* comObjectOf(const std::shared_ptr<T>& adapter) {
  const auto* bound = dynamic_cast<const LateBoundObject*>(adapter.get());
  return bound != nullptr ? bound->comObject() : nullptr;
}

// A new adapter A over object; nullptr for a null object or when it cannot be made.
template <class A, class... Extra>
std::shared_ptr<A> adapt(ComPtr<IDispatch> object, Extra&&... extra) noexcept {
  if (!object) return nullptr;
  try {
    return std::make_shared<A>(std::move(object), std::forward<Extra>(extra)...);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace korvanel::win
