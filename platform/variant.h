// A small value type for late-bound members: what a CDO field, a user property, a
// PropertyAccessor value, a profile-manager property or a member of the add-in's published
// object holds. Empty means "no value" (a failed read gives an empty Variant).
#pragma once

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "text/text.h"

namespace korvanel::platform {

using text::Bytes;
using text::Text;
using text::TextView;

class Variant {
 public:
  using Value = std::variant<std::monostate, bool, long, Text, std::vector<Text>, Bytes>;

  Variant() = default;
  Variant(bool b) : value_(b) {}                 // NOLINT(google-explicit-constructor)
  Variant(int n) : value_(static_cast<long>(n)) {}  // NOLINT
  Variant(long n) : value_(n) {}                 // NOLINT
  Variant(Text t) : value_(std::move(t)) {}      // NOLINT
  Variant(TextView t) : value_(Text(t)) {}       // NOLINT
  Variant(const char16_t* t) : value_(Text(t)) {}  // NOLINT
  Variant(std::vector<Text> list) : value_(std::move(list)) {}  // NOLINT
  Variant(Bytes bytes) : value_(std::move(bytes)) {}           // NOLINT

  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool isBool() const { return std::holds_alternative<bool>(value_); }
  bool isLong() const { return std::holds_alternative<long>(value_); }
  bool isText() const { return std::holds_alternative<Text>(value_); }
  bool isTextArray() const { return std::holds_alternative<std::vector<Text>>(value_); }
  bool isBytes() const { return std::holds_alternative<Bytes>(value_); }

  // The value as text, the way a late-bound string conversion gives it: a text as is, a
  // number in decimal, a Boolean as "True"/"False"; empty for an empty value, an array or bytes.
  Text toText() const {
    if (const Text* t = std::get_if<Text>(&value_)) return *t;
    if (const long* n = std::get_if<long>(&value_)) return text::toText(*n);
    if (const bool* b = std::get_if<bool>(&value_)) return *b ? Text(u"True") : Text(u"False");
    return Text();
  }
  // A Boolean as is, a number as "not zero"; false otherwise.
  bool toBool() const {
    if (const bool* b = std::get_if<bool>(&value_)) return *b;
    if (const long* n = std::get_if<long>(&value_)) return *n != 0;
    return false;
  }
  // A number as is, a Boolean as -1/0 (as COM does), a text read as an integer; 0 otherwise.
  long toLong() const {
    if (const long* n = std::get_if<long>(&value_)) return *n;
    if (const bool* b = std::get_if<bool>(&value_)) return *b ? -1 : 0;
    if (const Text* t = std::get_if<Text>(&value_)) return text::readInteger(*t).value_or(0);
    return 0;
  }
  // The text array; empty for any other value.
  std::vector<Text> toTextArray() const {
    if (const auto* list = std::get_if<std::vector<Text>>(&value_)) return *list;
    return {};
  }
  Bytes toBytes() const {
    if (const Bytes* b = std::get_if<Bytes>(&value_)) return *b;
    return {};
  }

  const Value& value() const { return value_; }
  bool operator==(const Variant& other) const = default;

 private:
  Value value_;
};

}  // namespace korvanel::platform
