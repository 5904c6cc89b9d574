// What the tests of the COM servers share: COM initialised for the test program's thread,
// and objects created by ProgID as a host creates them.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>

#include "text/text.h"
#include "win/com/com_ptr.h"
#include "win/com/com_variant.h"
#include "win/com/late_bound.h"
#include "win/com/wide.h"

namespace korvanel::win::testing {

// A single-threaded apartment for the whole program, as Outlook's user-interface thread is.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
  void TearDown() override { CoUninitialize(); }
};

// The object of a registered class, created by ProgID; null when it cannot be created.
inline ComPtr<IDispatch> createByProgId(text::TextView progId) {
  CLSID clsid = {};
  if (FAILED(CLSIDFromProgID(toWide(progId).c_str(), &clsid))) return {};
  ComPtr<IDispatch> object;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid());
  return object;
}

// A text property read by name; "<failed>" when the call fails or gives no text.
inline text::Text textByName(IDispatch* object, text::TextView name) {
  ComVariant value;
  if (FAILED(getProperty(object, name, value.put())) || value.type() != VT_BSTR) {
    return u"<failed>";
  }
  const BSTR s = value.get().bstrVal;
  return s == nullptr ? text::Text() : text::Text(s, s + SysStringLen(s));
}

}  // namespace korvanel::win::testing
