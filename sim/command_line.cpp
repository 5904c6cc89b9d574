#include "sim/command_line.h"

namespace korvanel::sim {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::optional<CommandLine> parseCommandLine(TextView line) {
  std::size_t pos = 0;
  while (pos < line.size() && isBlank(line[pos])) ++pos;
  if (pos >= line.size()) return std::nullopt;

  CommandLine out;
  // The program: up to the closing quote, or up to the first blank; no escapes in it.
  if (line[pos] == u'"') {
    const std::size_t close = line.find(u'"', pos + 1);
    if (close == TextView::npos) return std::nullopt;
    out.program = Text(line.substr(pos + 1, close - pos - 1));
    pos = close + 1;
  } else {
    const std::size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    out.program = Text(line.substr(start, pos - start));
  }
  if (out.program.empty()) return std::nullopt;

  // Arguments: quotes group blanks, backslashes before a quote escape it (2n+1 rule).
  while (true) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos >= line.size()) break;
    Text arg;
    bool quoted = false;
    while (pos < line.size() && (quoted || !isBlank(line[pos]))) {
      std::size_t slashes = 0;
      while (pos < line.size() && line[pos] == u'\\') {
        ++slashes;
        ++pos;
      }
      if (pos < line.size() && line[pos] == u'"') {
        arg.append(slashes / 2, u'\\');
        if (slashes % 2 == 1) {
          arg += u'"';
        } else if (quoted && pos + 1 < line.size() && line[pos + 1] == u'"') {
          arg += u'"';  // "" inside quotes is a literal quote
          ++pos;
        } else {
          quoted = !quoted;
        }
        ++pos;
      } else {
        arg.append(slashes, u'\\');
        if (pos < line.size() && (quoted || !isBlank(line[pos]))) arg += line[pos++];
      }
    }
    out.arguments.push_back(std::move(arg));
  }
  return out;
}

OutlookArguments readOutlookArguments(const std::vector<Text>& arguments) {
  OutlookArguments out;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const Text& a = arguments[i];
    if (text::equalsNoCase(a, u"/profile")) {
      if (i + 1 < arguments.size()) {
        out.profile = arguments[++i];
      } else {
        out.unknown.push_back(a);
      }
    } else if (text::equalsNoCase(a, u"/safe")) {
      out.safe = true;
    } else if (text::startsWithNoCase(a, u"/safe:")) {
      auto level = text::readInteger(TextView(a).substr(6));
      if (level && *level >= 1 && *level <= 4) {
        out.safe = true;
        out.safeLevel = static_cast<int>(*level);
      } else {
        out.unknown.push_back(a);
      }
    } else {
      out.unknown.push_back(a);
    }
  }
  return out;
}

}  // namespace korvanel::sim
