#include "tools/korvanel-sim/json_reader.h"

#include <fstream>
#include <sstream>

namespace korvanel::tool {

namespace {

// nlohmann's messages start with "[json.exception.parse_error.101] parse error at "; the
// rest ("line 3, column 5: syntax error ...") is what a user needs.
std::string parseMessage(const std::string& what) {
  std::string message = what;
  if (const auto close = message.find("] ");
      message.rfind("[json.exception", 0) == 0 && close != std::string::npos) {
    message = message.substr(close + 2);
  }
  if (message.rfind("parse error at ", 0) == 0) message = message.substr(15);
  // The bytes last read may be anything, even half a character: they are left out.
  if (const auto last = message.find("; last read:"); last != std::string::npos)
    message.erase(last);
  return "invalid JSON: " + message;
}

std::string joinWords(std::span<const std::string_view> words) {
  std::string out;
  for (std::string_view w : words) {
    if (!out.empty()) out += ", ";
    out += w;
  }
  return out;
}

}  // namespace

std::string quotedText(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

nlohmann::json parseJsonText(std::string_view json, const std::string& file) {
  try {
    return nlohmann::json::parse(json.begin(), json.end());
  } catch (const nlohmann::json::exception& e) {
    failInput(file, "", parseMessage(e.what()));
  }
}

nlohmann::json readJsonFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) failInput(path, "", "cannot be read; expected a readable JSON file");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) failInput(path, "", "cannot be read; expected a readable JSON file");
  return parseJsonText(bytes.str(), path);
}

std::string jsonTypeName(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::null:
      return "null";
    case nlohmann::json::value_t::object:
      return "an object";
    case nlohmann::json::value_t::array:
      return "an array";
    case nlohmann::json::value_t::string:
      return "a string";
    case nlohmann::json::value_t::boolean:
      return "a boolean";
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
      return "an integer";
    case nlohmann::json::value_t::number_float:
      return "the number " + value.dump();
    default:
      return "an unusual value";
  }
}

// ---- JsonValue

Text JsonValue::text() const {
  if (!value_.is_string()) fail("expected a string, found " + jsonTypeName(value_));
  return text::fromUtf8(value_.get_ref<const std::string&>());
}

bool JsonValue::boolean() const {
  if (!value_.is_boolean()) fail("expected true or false, found " + jsonTypeName(value_));
  return value_.get<bool>();
}

long long JsonValue::integer(long long min, long long max) const {
  const std::string range =
      "expected an integer from " + std::to_string(min) + " to " + std::to_string(max);
  if (value_.is_number_unsigned()) {
    const auto v = value_.get<unsigned long long>();
    // JSON gives every non-negative number as unsigned: the lower bound counts here too.
    if (v > static_cast<unsigned long long>(max) ||
        (min > 0 && v < static_cast<unsigned long long>(min)))
      fail(range + ", found " + std::to_string(v));
    return static_cast<long long>(v);
  }
  if (!value_.is_number_integer()) fail(range + ", found " + jsonTypeName(value_));
  const auto v = value_.get<long long>();
  if (v < min || v > max) fail(range + ", found " + std::to_string(v));
  return v;
}

std::size_t JsonValue::word(std::span<const std::string_view> words) const {
  const std::string expected = "expected one of " + joinWords(words);
  if (!value_.is_string()) fail(expected + ", found " + jsonTypeName(value_));
  const std::string& s = value_.get_ref<const std::string&>();
  std::size_t i = 0;
  for (std::string_view w : words) {
    if (s == w) return i;
    ++i;
  }
  fail(expected + ", found " + quotedText(s));
}

std::vector<JsonValue> JsonValue::elements() const {
  if (!value_.is_array()) fail("expected an array, found " + jsonTypeName(value_));
  std::vector<JsonValue> out;
  out.reserve(value_.size());
  for (std::size_t i = 0; i < value_.size(); ++i) {
    out.emplace_back(value_[i], file_, path_ + "[" + std::to_string(i) + "]");
  }
  return out;
}

std::vector<Text> JsonValue::texts() const {
  if (!value_.is_array()) fail("expected an array of strings, found " + jsonTypeName(value_));
  std::vector<Text> out;
  for (const JsonValue& e : elements()) out.push_back(e.text());
  return out;
}

// ---- JsonObject

JsonObject::JsonObject(const JsonValue& value, std::initializer_list<std::string_view> accepted)
    : value_(value) {
  if (!value.raw().is_object())
    value.fail("expected an object, found " + jsonTypeName(value.raw()));
  for (const auto& [key, v] : value.raw().items()) {
    bool known = false;
    for (std::string_view a : accepted) known = known || key == a;
    if (!known) {
      failInput(value.file(), value.path() + "." + key,
                "unknown field; expected one of " + joinWords(std::span<const std::string_view>(
                                                        accepted.begin(), accepted.size())));
    }
  }
}

bool JsonObject::has(const char* key) const { return value_.raw().contains(key); }

JsonValue JsonObject::field(const char* key) const {
  if (!has(key)) fail("missing field " + quotedText(key));
  return JsonValue(value_.raw().at(key), value_.file(), pathOf(key));
}

std::optional<JsonValue> JsonObject::optional(const char* key) const {
  if (!has(key)) return std::nullopt;
  return field(key);
}

std::optional<Text> JsonObject::optText(const char* key) const {
  if (auto v = optional(key)) return v->text();
  return std::nullopt;
}

std::optional<bool> JsonObject::optBool(const char* key) const {
  if (auto v = optional(key)) return v->boolean();
  return std::nullopt;
}

std::optional<long long> JsonObject::optInteger(const char* key, long long min,
                                                long long max) const {
  if (auto v = optional(key)) return v->integer(min, max);
  return std::nullopt;
}

std::optional<std::vector<Text>> JsonObject::optTexts(const char* key) const {
  if (auto v = optional(key)) return v->texts();
  return std::nullopt;
}

void JsonObject::fail(const char* key, const std::string& message) const {
  failInput(value_.file(), pathOf(key), message);
}

}  // namespace korvanel::tool
