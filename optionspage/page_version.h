// The page control's version, as its version resource and its footer label show it.
#pragma once

namespace korvanel::page {

inline constexpr int kPageVersionMajor = 1;
inline constexpr int kPageVersionMinor = 0;
inline constexpr int kPageVersionRevision = 1;

}  // namespace korvanel::page
