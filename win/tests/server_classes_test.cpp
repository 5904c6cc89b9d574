// The registered classes of both DLLs, created through real COM as Outlook creates them.
#include <initguid.h>

#include "win/korvanel/extensibility_idl.h"
#include "win/korvanel/korvanel_idl.h"
#include "win/tests/com_test_support.h"

namespace korvanel::win::testing {
namespace {

// An export of a loaded DLL as the function type it has (through void(*)(), the one cast
// between function types that is not a warning).
template <class F>
F procAddress(HMODULE dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

TEST(ServerClasses, EveryRegisteredProgIdCreatesItsObject) {
  for (text::TextView progId : {u"Korvanel.Connect", u"Korvanel.OutAddIn", u"Korvanel.clsInspWrap",
                                u"Korvanel.KorvanelPage"}) {
    ComPtr<IDispatch> object = createByProgId(progId);
    ASSERT_TRUE(object) << text::toUtf8(progId);
    // The type library behind IDispatch is found in the DLL itself.
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(object->GetTypeInfo(0, 0, info.put()), S_OK) << text::toUtf8(progId);
  }
}

TEST(ServerClasses, ConnectAnswersByNameAndThroughItsVtable) {
  ComPtr<IDispatch> connect = createByProgId(u"Korvanel.Connect");
  ASSERT_TRUE(connect);
  ComPtr<_Connect> dual = connect.as<_Connect>();
  ASSERT_TRUE(dual);
  EXPECT_EQ(static_cast<IDispatch*>(dual.get()), connect.get());
  EXPECT_TRUE(connect.as<IDTExtensibility2>());

  // Members in their slot order, with the DISPIDs the type library gives them.
  int position = 1;
  for (text::TextView member : {u"sUN", u"sPN", u"sSMBXs", u"IsRestart", u"PrepareAccessibleMBX"}) {
    DISPID id = 0;
    EXPECT_EQ(memberId(connect.get(), member, &id), S_OK) << text::toUtf8(member);
    EXPECT_EQ(id, position++) << text::toUtf8(member);
  }
  DISPID unknown = 0;
  EXPECT_EQ(memberId(connect.get(), u"NoSuchMember", &unknown), DISP_E_UNKNOWNNAME);
}

TEST(ServerClasses, ThePageTellsItsCaptionByName) {
  ComPtr<IDispatch> page = createByProgId(u"Korvanel.KorvanelPage");
  ASSERT_TRUE(page);
  EXPECT_EQ(textByName(page.get(), u"Caption"), u"Outlook Property Page");
}

TEST(ServerClasses, AServerUnloadsOnlyWhenNothingIsLeft) {
  // Loaded and asked directly, the way COM asks before it frees an idle DLL.
  HMODULE dll = LoadLibraryW(L"Korvanel.dll");
  ASSERT_NE(dll, nullptr);
  using CanUnload = HRESULT(WINAPI*)();
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  auto canUnload = procAddress<CanUnload>(dll, "DllCanUnloadNow");
  auto getClassObject = procAddress<GetClassObject>(dll, "DllGetClassObject");
  ASSERT_TRUE(canUnload && getClassObject);

  EXPECT_EQ(canUnload(), S_OK);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(__uuidof(Connect), IID_IClassFactory, factory.putVoid()), S_OK);
    ComPtr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()), S_OK);
    factory.reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    object.reset();
    EXPECT_EQ(canUnload(), S_OK);

    ASSERT_EQ(getClassObject(__uuidof(OutAddIn), IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    IUnknown* outer = factory.get();
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, object.putVoid()),
              CLASS_E_NOAGGREGATION);
    factory.reset();
    EXPECT_EQ(canUnload(), S_FALSE);  // the lock keeps it
    ASSERT_EQ(getClassObject(__uuidof(OutAddIn), IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  }
  EXPECT_EQ(canUnload(), S_OK);
  CLSID unknown = {};
  void* nothing = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject(unknown, IID_IClassFactory, &nothing), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(nothing, nullptr);
  FreeLibrary(dll);
}

}  // namespace
}  // namespace korvanel::win::testing
