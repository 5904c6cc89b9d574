// The simulated machine's files: a flat map of full Windows paths ("C:\Documents and
// Settings\pat\Application Data\Microsoft\Outlook\Outlook.srs") to their contents. Folders
// exist implicitly while they hold a file. Paths compare without regard to case, as NTFS
// does; names are kept as created. Nothing here interprets wildcards.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "text/text.h"

namespace korvanel::sim {

using text::Bytes;
using text::Text;
using text::TextView;

class FileSystem {
 public:
  // Creates or replaces the file. False for a path without a folder part ("name.txt") or
  // with an empty name.
  bool write(TextView path, Bytes content = {});
  bool exists(TextView path) const;
  std::optional<Bytes> read(TextView path) const;
  // False when there was no such file.
  bool remove(TextView path);
  // The names of the files directly in the folder (a trailing backslash is allowed), in
  // the order of their names without regard to case.
  std::vector<Text> list(TextView folder) const;
  // Every file's full path, in order.
  std::vector<Text> paths() const;
  std::size_t size() const { return files_.size(); }

  // "C:\a\b.txt" gives "C:\a" and "b.txt"; nullopt when there is no backslash or nothing
  // follows the last one.
  static std::optional<std::pair<Text, Text>> splitPath(TextView path);

 private:
  struct Entry {
    Text path;  // as created
    Bytes content;
  };
  std::map<Text, Entry, text::NoCaseLess> files_;
};

}  // namespace korvanel::sim
