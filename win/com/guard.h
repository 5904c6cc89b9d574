// The last line of defence of every COM entry point: no exception reaches the caller.
#pragma once

#include <windows.h>

#include <new>

namespace korvanel::win {

// Runs body (which returns an HRESULT); an exception becomes E_OUTOFMEMORY for a failed
// allocation and onException otherwise.
template <class Body>
HRESULT guard(Body&& body, HRESULT onException = E_UNEXPECTED) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return onException;
  }
}

}  // namespace korvanel::win
