// The last line of defence of the page's entry points: Outlook and the user's clicks must
// never see an exception, so whatever escapes a handler ends there.
#pragma once

#include <utility>

namespace korvanel::page {

template <typename F>
void guarded(F&& f) noexcept {
  try {
    std::forward<F>(f)();
  } catch (...) {
  }
}

template <typename R, typename F>
R guarded(R fallback, F&& f) noexcept {
  try {
    return std::forward<F>(f)();
  } catch (...) {
    return fallback;
  }
}

}  // namespace korvanel::page
