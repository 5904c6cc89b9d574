// An owning COM interface pointer: releases on destruction; put() releases first, so it
// can be passed as an out-parameter again and again.
#pragma once

#include <unknwn.h>

#include <utility>

namespace korvanel::win {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference to p.
  explicit ComPtr(T* p) : p_(p) {
    if (p_ != nullptr) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { reset(); }

  // Adopts a reference the caller already owns.
  static ComPtr attach(T* p) {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  // Hands the reference to the caller.
  T* detach() { return std::exchange(p_, nullptr); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

  // The interface U of the same object; null when the object does not have it.
  template <class U>
  ComPtr<U> as() const {
    ComPtr<U> r;
    if (p_ != nullptr) p_->QueryInterface(__uuidof(U), r.putVoid());
    return r;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace korvanel::win
