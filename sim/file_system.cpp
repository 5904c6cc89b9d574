#include "sim/file_system.h"

#include <algorithm>

namespace korvanel::sim {

namespace {

// One spelling of a folder: no trailing backslash.
TextView folderOf(TextView folder) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  return folder;
}

}  // namespace

std::optional<std::pair<Text, Text>> FileSystem::splitPath(TextView path) {
  const std::size_t slash = path.rfind(u'\\');
  if (slash == TextView::npos || slash == 0 || slash + 1 >= path.size()) return std::nullopt;
  return std::make_pair(Text(path.substr(0, slash)), Text(path.substr(slash + 1)));
}

bool FileSystem::write(TextView path, Bytes content) {
  if (!splitPath(path)) return false;
  auto it = files_.find(path);
  if (it != files_.end()) {
    it->second.content = std::move(content);
  } else {
    files_.emplace(Text(path), Entry{Text(path), std::move(content)});
  }
  return true;
}

bool FileSystem::exists(TextView path) const { return files_.find(path) != files_.end(); }

std::optional<Bytes> FileSystem::read(TextView path) const {
  auto it = files_.find(path);
  if (it == files_.end()) return std::nullopt;
  return it->second.content;
}

bool FileSystem::remove(TextView path) {
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  files_.erase(it);
  return true;
}

std::vector<Text> FileSystem::list(TextView folder) const {
  const TextView wanted = folderOf(folder);
  std::vector<Text> names;
  if (wanted.empty()) return names;
  for (const auto& [key, entry] : files_) {
    auto parts = splitPath(entry.path);
    if (parts && text::equalsNoCase(parts->first, wanted)) names.push_back(parts->second);
  }
  std::sort(names.begin(), names.end(), text::NoCaseLess());
  return names;
}

std::vector<Text> FileSystem::paths() const {
  std::vector<Text> out;
  out.reserve(files_.size());
  for (const auto& [key, entry] : files_) out.push_back(entry.path);
  return out;
}

}  // namespace korvanel::sim
