#include "addin/recent_arrivals.h"

#include <algorithm>
#include <iterator>

namespace korvanel::addin {

void RecentArrivals::remember(text::TextView entryId) {
  if (entryId.empty()) return;
  if (ids_.size() == kCapacity) ids_.pop_front();
  ids_.emplace_back(entryId);
}

bool RecentArrivals::takeBack(text::TextView entryId) {
  if (entryId.empty()) return false;
  // Newest first: the twin report usually follows at once. Entry ids are hexadecimal, and
  // Outlook may spell one in either case.
  const auto it = std::find_if(ids_.rbegin(), ids_.rend(), [entryId](const text::Text& id) {
    return text::equalsNoCase(id, entryId);
  });
  if (it == ids_.rend()) return false;
  ids_.erase(std::next(it).base());
  return true;
}

}  // namespace korvanel::addin
