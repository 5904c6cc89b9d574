#include "platform/send_keys.h"

#include <array>
#include <utility>

namespace korvanel::platform {

namespace {

struct KeyName {
  TextView alias;
  TextView canonical;
};

constexpr std::array<KeyName, 35> kKeyNames{{
    {u"BACKSPACE", u"BACKSPACE"},
    {u"BS", u"BACKSPACE"},
    {u"BKSP", u"BACKSPACE"},
    {u"BREAK", u"BREAK"},
    {u"CAPSLOCK", u"CAPSLOCK"},
    {u"DELETE", u"DELETE"},
    {u"DEL", u"DELETE"},
    {u"DOWN", u"DOWN"},
    {u"END", u"END"},
    {u"ENTER", u"ENTER"},
    {u"ESC", u"ESC"},
    {u"ESCAPE", u"ESC"},
    {u"HELP", u"HELP"},
    {u"HOME", u"HOME"},
    {u"INSERT", u"INSERT"},
    {u"INS", u"INSERT"},
    {u"LEFT", u"LEFT"},
    {u"NUMLOCK", u"NUMLOCK"},
    {u"PGDN", u"PGDN"},
    {u"PGUP", u"PGUP"},
    {u"PRTSC", u"PRTSC"},
    {u"RIGHT", u"RIGHT"},
    {u"SCROLLLOCK", u"SCROLLLOCK"},
    {u"TAB", u"TAB"},
    {u"UP", u"UP"},
    {u"F1", u"F1"},
    {u"F2", u"F2"},
    {u"F3", u"F3"},
    {u"F4", u"F4"},
    {u"F5", u"F5"},
    {u"F6", u"F6"},
    {u"F7", u"F7"},
    {u"F8", u"F8"},
    {u"F9", u"F9"},
    {u"F10", u"F10"},
}};

std::optional<Text> canonicalName(TextView name) {
  for (const KeyName& k : kKeyNames) {
    if (text::equalsNoCase(k.alias, name)) return Text(k.canonical);
  }
  return std::nullopt;
}

bool isSpecial(char16_t c) {
  return c == u'+' || c == u'^' || c == u'%' || c == u'~' || c == u'(' || c == u')' || c == u'{' ||
         c == u'}' || c == u'[' || c == u']';
}

class Parser {
 public:
  explicit Parser(TextView s) : s_(s) {}

  std::optional<std::vector<KeyStroke>> run() {
    std::vector<KeyStroke> out;
    if (!sequence(out, 0) || pos_ != s_.size()) return std::nullopt;
    return out;
  }

 private:
  // Groups nest no deeper than this, so that no text can exhaust the stack.
  static constexpr int kMaxGroupDepth = 16;

  // Keys up to the end, or up to the ")" that closes a group.
  bool sequence(std::vector<KeyStroke>& out, int depth) {
    while (pos_ < s_.size()) {
      if (s_[pos_] == u')') return depth > 0;
      if (!unit(out, depth)) return false;
    }
    return depth == 0;
  }

  // One key or group, with the modifiers written before it.
  bool unit(std::vector<KeyStroke>& out, int depth) {
    bool shift = false, ctrl = false, alt = false;
    for (; pos_ < s_.size(); ++pos_) {
      const char16_t m = s_[pos_];
      if (m == u'+') {
        shift = true;
      } else if (m == u'^') {
        ctrl = true;
      } else if (m == u'%') {
        alt = true;
      } else {
        break;
      }
    }
    if (pos_ >= s_.size()) return false;  // a modifier with nothing after it
    const char16_t c = s_[pos_];
    if (c == u'(') {
      if (depth >= kMaxGroupDepth) return false;
      ++pos_;
      std::vector<KeyStroke> group;
      if (!sequence(group, depth + 1) || pos_ >= s_.size() || s_[pos_] != u')') return false;
      ++pos_;
      for (KeyStroke& k : group) {
        k.shift = k.shift || shift;
        k.ctrl = k.ctrl || ctrl;
        k.alt = k.alt || alt;
        out.push_back(std::move(k));
      }
      return true;
    }
    KeyStroke key;
    key.shift = shift;
    key.ctrl = ctrl;
    key.alt = alt;
    int repeat = 1;
    if (c == u'~') {
      key.key = u"ENTER";
      key.named = true;
      ++pos_;
    } else if (c == u'{') {
      if (!braced(key, repeat)) return false;
    } else if (isSpecial(c)) {
      return false;  // ")" "}" "[" "]" must be braced
    } else {
      key.key = Text(1, c);
      ++pos_;
    }
    for (int i = 0; i < repeat; ++i) out.push_back(key);
    return true;
  }

  // "{X}", "{NAME}", "{NAME n}"; "{}}" is the literal "}".
  bool braced(KeyStroke& key, int& repeat) {
    ++pos_;                                       // "{"
    std::size_t close = s_.find(u'}', pos_ + 1);  // the first character may be "}" itself
    if (close == TextView::npos) return false;
    TextView body = s_.substr(pos_, close - pos_);
    pos_ = close + 1;
    if (body.empty()) return false;
    const std::size_t space = body.find(u' ');
    if (space != TextView::npos) {
      auto n = text::readInteger(body.substr(space + 1));
      if (!n || *n < 0 || *n > 255) return false;
      repeat = static_cast<int>(*n);
      body = body.substr(0, space);
    }
    if (body.size() == 1) {
      key.key = Text(body);
      return true;
    }
    auto name = canonicalName(body);
    if (!name) return false;
    key.key = *name;
    key.named = true;
    return true;
  }

  TextView s_;
  std::size_t pos_ = 0;
};

}  // namespace

Text KeyStroke::notation() const {
  Text out;
  if (shift) out += u'+';
  if (ctrl) out += u'^';
  if (alt) out += u'%';
  if (named || (key.size() == 1 && isSpecial(key[0]))) {
    out += u'{';
    out += key;
    out += u'}';
  } else {
    out += key;
  }
  return out;
}

bool KeyStroke::isChar(char16_t c) const {
  return !named && key.size() == 1 && text::foldCase(key[0]) == text::foldCase(c);
}

std::optional<std::vector<KeyStroke>> parseSendKeys(TextView keys) { return Parser(keys).run(); }

}  // namespace korvanel::platform
