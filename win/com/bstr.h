// An owning BSTR, and the conversions between BSTR and Text.
#pragma once

#include <oleauto.h>

#include <utility>

#include "text/text.h"

namespace korvanel::win {

class Bstr {
 public:
  Bstr() = default;
  // Copies the text; get() is null when the allocation fails (a null BSTR is "").
  explicit Bstr(text::TextView s) {
    std::wstring w(s.begin(), s.end());
    p_ = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~Bstr() { reset(); }

  BSTR get() const { return p_; }
  BSTR detach() { return std::exchange(p_, nullptr); }
  BSTR* put() {
    reset();
    return &p_;
  }
  void reset() {
    if (BSTR p = std::exchange(p_, nullptr)) SysFreeString(p);
  }

 private:
  BSTR p_ = nullptr;
};

// The text of a BSTR, embedded NULs included; a null BSTR is "".
inline text::Text fromBstr(BSTR s) {
  if (s == nullptr) return {};
  const UINT n = SysStringLen(s);
  return text::Text(s, s + n);
}

}  // namespace korvanel::win
