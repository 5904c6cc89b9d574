// An owning VARIANT: cleared on destruction and before it is written again through put().
#pragma once

#include <oleauto.h>

namespace korvanel::win {

class ComVariant {
 public:
  ComVariant() { VariantInit(&v_); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;
  ~ComVariant() { VariantClear(&v_); }

  const VARIANT& get() const { return v_; }
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }
  VARTYPE type() const { return v_.vt; }

 private:
  VARIANT v_;
};

}  // namespace korvanel::win
