// Strict reading of the tool's JSON input files: every value is checked for its type and
// range as it is taken, every field not taken is an unknown field, and each failure names
// the file, the JSON path and what was expected (an InputFailure).
#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.h"
#include "tools/korvanel-sim/input_error.h"

namespace korvanel::tool {

using text::Text;

// Reads a whole file as JSON; an unreadable file or invalid JSON is an InputFailure.
nlohmann::json readJsonFile(const std::string& path);
// The same for text already in memory, named file in messages.
nlohmann::json parseJsonText(std::string_view json, const std::string& file);

// "a string", "an array", ... for messages.
std::string jsonTypeName(const nlohmann::json& value);

// A value at a path of a file, for the checks that are not about an object's fields.
class JsonValue {
 public:
  JsonValue(const nlohmann::json& value, std::string file, std::string path)
      : value_(value), file_(std::move(file)), path_(std::move(path)) {}

  const nlohmann::json& raw() const { return value_; }
  const std::string& file() const { return file_; }
  const std::string& path() const { return path_; }
  [[noreturn]] void fail(const std::string& message) const { failInput(file_, path_, message); }

  Text text() const;
  bool boolean() const;
  long long integer(long long min, long long max) const;
  // One of the words; the index of the one given.
  std::size_t word(std::span<const std::string_view> words) const;
  std::size_t word(std::initializer_list<std::string_view> words) const {
    return word(std::span<const std::string_view>(words.begin(), words.size()));
  }
  // The elements of an array, each with its path.
  std::vector<JsonValue> elements() const;
  std::vector<Text> texts() const;

 private:
  const nlohmann::json& value_;
  std::string file_;
  std::string path_;
};

// An object with a fixed set of accepted fields: a value that is not an object, or a field
// not accepted, fails at once, so a misspelt field is reported before anything else.
class JsonObject {
 public:
  JsonObject(const JsonValue& value, std::initializer_list<std::string_view> accepted);

  bool has(const char* key) const;
  // The field; a missing one fails ("missing field ...").
  JsonValue field(const char* key) const;
  std::optional<JsonValue> optional(const char* key) const;

  Text text(const char* key) const { return field(key).text(); }
  std::optional<Text> optText(const char* key) const;
  std::optional<bool> optBool(const char* key) const;
  std::optional<long long> optInteger(const char* key, long long min, long long max) const;
  std::optional<std::vector<Text>> optTexts(const char* key) const;

  [[noreturn]] void fail(const std::string& message) const { value_.fail(message); }
  [[noreturn]] void fail(const char* key, const std::string& message) const;
  const JsonValue& value() const { return value_; }
  std::string pathOf(const char* key) const { return value_.path() + "." + key; }

 private:
  JsonValue value_;
};

// "\"text\"" with quotes, for messages.
std::string quotedText(std::string_view s);

}  // namespace korvanel::tool
