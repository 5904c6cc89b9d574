#include "tools/korvanel-sim/story.h"

#include "platform/outlook.h"
#include "platform/shell.h"

namespace korvanel::tool {

void Story::heading(const std::string& text) { lines_.push_back(text); }

void Story::step(std::size_t number, const std::string& text) {
  lines_.push_back(std::to_string(number) + ". " + text);
}

void Story::detail(const std::string& text) { lines_.push_back("   " + text); }

void Story::more(const std::string& text) { lines_.push_back("     " + text); }

void Story::print(std::ostream& out) const {
  for (const std::string& line : lines_) out << line << '\n';
}

std::string plain(TextView s) {
  Text out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
      out += u' ';
    } else if (c == u'\x0001') {
      out += u" | ";
    } else if (c < 0x20 && c != u'\t') {
      static const char16_t kHex[] = u"0123456789abcdef";
      out += u"\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  return text::toUtf8(out);
}

std::string quote(TextView s) { return "\"" + plain(s) + "\""; }

std::string stampText(TextView stamp) {
  const std::size_t separator = stamp.find(u'\x0001');
  if (separator == TextView::npos) return quote(stamp);
  return "account key " + plain(stamp.substr(0, separator)) + ", " +
         plain(stamp.substr(separator + 1));
}

std::string keysText(TextView keys) {
  std::string out;
  std::string modifiers;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const char16_t c = keys[i];
    if (c == u'%') {
      modifiers += "Alt+";
      continue;
    }
    if (c == u'^') {
      modifiers += "Ctrl+";
      continue;
    }
    if (c == u'+') {
      modifiers += "Shift+";
      continue;
    }
    std::string key;
    if (c == u'{') {
      const std::size_t close = keys.find(u'}', i + 1);
      if (close == TextView::npos) return plain(keys);
      key = plain(keys.substr(i + 1, close - i - 1));
      if (key == "ESC" || key == "ESCAPE") key = "Esc";
      if (key == "TAB") key = "Tab";
      if (key == "END") key = "End";
      if (key == "RIGHT") key = "Right";
      i = close;
    } else {
      key = plain(TextView(&keys[i], 1));
      if (!modifiers.empty() && key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') {
        key[0] = static_cast<char>(key[0] - 'a' + 'A');
      }
    }
    if (!out.empty()) out += ", ";
    out += modifiers + key;
    modifiers.clear();
  }
  return out;
}

std::string answerName(int answer) {
  switch (answer) {
    case platform::kIdOk:
      return "OK";
    case platform::kIdCancel:
      return "Cancel";
    case 3:
      return "Abort";
    case 4:
      return "Retry";
    case 5:
      return "Ignore";
    case platform::kIdYes:
      return "Yes";
    case platform::kIdNo:
      return "No";
    default:
      return "nothing";
  }
}

std::string joinAnd(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += i + 1 == parts.size() ? " and " : ", ";
    out += parts[i];
  }
  return out;
}

std::string itemKind(long itemClass) {
  switch (itemClass) {
    case platform::kOlMail:
      return "mail";
    case platform::kOlTask:
      return "task";
    case platform::kOlAppointment:
      return "appointment";
    case platform::kOlMeetingRequest:
      return "meeting request";
    case platform::kOlTaskRequest:
      return "task request";
    case platform::kOlContact:
      return "contact";
    default:
      return "item";
  }
}

}  // namespace korvanel::tool
