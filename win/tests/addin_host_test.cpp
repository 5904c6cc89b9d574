// The test program as Outlook's add-in host: it creates "Korvanel.Connect" through real COM,
// connects it to an Outlook whose Explorers and Inspectors are both empty, reads the
// published object by name as the Options page does, disconnects and releases it.
#include <initguid.h>

#include <cwchar>

#include "tests/sim/registry_contract.h"
#include "win/korvanel/extensibility_idl.h"
#include "win/korvanel/korvanel_idl.h"
#include "win/outlook/com_addin.h"
#include "win/outlook/event_ids.h"
#include "win/system/advapi_registry.h"
#include "win/tests/com_test_support.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {
namespace {

using korvanel::testing::KeySnapshot;
using korvanel::testing::snapshot;

bool sameObject(IUnknown* a, IUnknown* b) {
  ComPtr<IUnknown> ia, ib;
  return a != nullptr && b != nullptr && SUCCEEDED(a->QueryInterface(IID_IUnknown, ia.putVoid())) &&
         SUCCEEDED(b->QueryInterface(IID_IUnknown, ib.putVoid())) && ia.get() == ib.get();
}

// Outlook started without a window, and the AddInInst it passes to the add-in.
class EmptyOutlook {
 public:
  // acceptsPut false: the host takes Object only by reference (PROPERTYPUTREF).
  explicit EmptyOutlook(bool acceptsPut = true) {
    for (ScriptedObject* windows : {explorers.get(), inspectors.get()}) {
      windows->member(u"Count", 1, [](VARIANT* r) { return returnLong(r, 0); });
    }
    application->member(u"Explorers", 10,
                        [this](VARIANT* r) { return returnObject(r, explorers.get()); });
    application->member(u"Inspectors", 11,
                        [this](VARIANT* r) { return returnObject(r, inspectors.get()); });
    application->member(u"Version", 12,
                        [](VARIANT* r) { return returnText(r, L"12.0.6423.1000"); });
    addInInst->member(
        u"Object", kDispidComAddInObject,
        [this](VARIANT* r) { return returnObject(r, published.get()); },
        [this, acceptsPut](WORD flags, const VARIANT& v) {
          if (!acceptsPut && !(flags & DISPATCH_PROPERTYPUTREF)) {
            return DISP_E_MEMBERNOTFOUND;
          }
          if (v.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
          ++objectPuts;
          published = ComPtr<IDispatch>(v.pdispVal);
          return S_OK;
        });
    addInInst->member(
        u"Connect", 6,
        [this](VARIANT* r) {
          r->vt = VT_BOOL;
          r->boolVal = connected ? VARIANT_TRUE : VARIANT_FALSE;
          return S_OK;
        },
        [this](WORD, const VARIANT& v) {
          connected = v.boolVal != VARIANT_FALSE;
          return S_OK;
        });
  }

  ComPtr<ScriptedObject> application = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> explorers = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> inspectors = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> addInInst = makeComObject<ScriptedObject>();
  ComPtr<IDispatch> published;
  int objectPuts = 0;
  bool connected = true;
};

HRESULT canUnloadAddin() {
  HMODULE dll = GetModuleHandleW(L"Korvanel.dll");
  if (dll == nullptr) return S_OK;  // not even loaded
  using CanUnload = HRESULT(WINAPI*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void (*)()>(GetProcAddress(dll, "DllCanUnloadNow")));
  return canUnload == nullptr ? E_FAIL : canUnload();
}

// What a restart would leave: the profiles' keys of the current user.
std::vector<KeySnapshot> profileKeys() {
  AdvapiRegistry registry;
  constexpr text::TextView kProfiles =
      u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
  platform::RegKey key =
      platform::RegKey::open(registry, platform::kHkeyCurrentUser, kProfiles, platform::kKeyRead);
  if (!key) return {};
  return snapshot(registry, key.get(), text::Text(kProfiles));
}

void connectionRoundTrip(bool acceptsPut) {
  EmptyOutlook outlook(acceptsPut);
  const std::vector<KeySnapshot> profilesBefore = profileKeys();
  {
    ComPtr<IDispatch> created = createByProgId(u"Korvanel.Connect");
    ASSERT_TRUE(created);
    ComPtr<IDTExtensibility2> addin = created.as<IDTExtensibility2>();
    ASSERT_TRUE(addin);
    created.reset();

    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    EXPECT_EQ(addin->OnConnection(outlook.application.get(), ext_cm_Startup,
                                  outlook.addInInst.get(), &custom),
              S_OK);
    EXPECT_EQ(addin->OnAddInsUpdate(&custom), S_OK);
    EXPECT_EQ(addin->OnStartupComplete(&custom), S_OK);

    // Published itself, once, and stays connected.
    EXPECT_EQ(outlook.objectPuts, 1);
    ASSERT_TRUE(outlook.published);
    EXPECT_TRUE(sameObject(outlook.published.get(), addin.get()));
    EXPECT_TRUE(outlook.connected);

    // The Options page's reads, by name through IDispatch: nothing loaded in this run.
    EXPECT_EQ(textByName(outlook.published.get(), u"sUN"), u"");
    EXPECT_EQ(textByName(outlook.published.get(), u"sPN"), u"");
    EXPECT_EQ(textByName(outlook.published.get(), u"sSMBXs"), u"");
    VARIANT mode;
    VariantInit(&mode);
    mode.vt = VT_I2;
    mode.iVal = 0;
    EXPECT_EQ(putProperty(outlook.published.get(), u"IsRestart", mode), S_OK);
    EXPECT_EQ(callMethod(outlook.published.get(), u"PrepareAccessibleMBX", {}, nullptr), S_OK);

    EXPECT_EQ(addin->OnBeginShutdown(&custom), S_OK);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, &custom), S_OK);
    SafeArrayDestroy(custom);
    // The host lets go of the add-in: its own reference and the published Object.
    outlook.published.reset();
  }
  // Nothing of the add-in is left, it holds nothing of Outlook's, and no restart happened.
  EXPECT_EQ(canUnloadAddin(), S_OK);
  EXPECT_EQ(outlook.application->references(), 1u);
  EXPECT_EQ(outlook.explorers->references(), 1u);
  EXPECT_EQ(outlook.inspectors->references(), 1u);
  EXPECT_EQ(outlook.addInInst->references(), 1u);
  EXPECT_EQ(profileKeys(), profilesBefore);
}

TEST(AddinHost, ConnectionRoundTripWithAnOutlookWithoutWindows) { connectionRoundTrip(true); }

TEST(AddinHost, AHostThatTakesObjectOnlyByReferenceStillGetsIt) { connectionRoundTrip(false); }

// Outlook 2007 with its main window: the add-in hooks the Application, the Inspectors and the
// Items of Deleted Items, the Inbox and Sent Items.
class OutlookWithAWindow {
 public:
  OutlookWithAWindow() {
    application->member(u"Version", 0x116,
                        [](VARIANT* r) { return returnText(r, L"12.0.6423.1000"); });
    application->member(u"Explorers", 0xF001,
                        [this](VARIANT* r) { return returnObject(r, explorers.get()); });
    application->member(u"Inspectors", 0xF002,
                        [this](VARIANT* r) { return returnObject(r, inspectors.get()); });
    application->method(u"GetNamespace", 0x2110, [this](const DISPPARAMS& p, VARIANT* r) {
      if (p.cArgs != 1 || p.rgvarg[0].vt != VT_BSTR || std::wcscmp(p.rgvarg[0].bstrVal, L"MAPI")) {
        return E_INVALIDARG;
      }
      return returnObject(r, session.get());
    });
    explorers->member(u"Count", 0x50, [](VARIANT* r) { return returnLong(r, 1); });
    inspectors->member(u"Count", 0x50, [](VARIANT* r) { return returnLong(r, 0); });
    session->member(u"CurrentProfileName", 0xFA4A,
                    [](VARIANT* r) { return returnText(r, L"Korvanel test profile"); });
    session->method(u"GetDefaultFolder", 0x210B, [this](const DISPPARAMS& p, VARIANT* r) {
      if (p.cArgs != 1 || p.rgvarg[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
      for (Folder& f : folders) {
        if (f.type == p.rgvarg[0].lVal) return returnObject(r, f.folder.get());
      }
      return E_FAIL;
    });
    for (Folder& f : folders) {
      f.folder->member(u"Items", 0x3100,
                       [&f](VARIANT* r) { return returnObject(r, f.items.get()); });
      f.events = &f.items->events(events::kItemsEvents);
    }
    applicationEvents = &application->events(events::kApplicationEvents11);
    inspectorsEvents = &inspectors->events(events::kInspectorsEvents);
  }

  std::vector<ScriptedObject*> objects() {
    std::vector<ScriptedObject*> all = {application.get(), explorers.get(), inspectors.get(),
                                        session.get(), addInInst.get()};
    for (Folder& f : folders) {
      all.push_back(f.folder.get());
      all.push_back(f.items.get());
    }
    return all;
  }
  std::size_t sinks() {
    std::size_t n = applicationEvents->sinkCount() + inspectorsEvents->sinkCount();
    for (Folder& f : folders) n += f.events->sinkCount();
    return n;
  }

  struct Folder {
    long type;
    ComPtr<ScriptedObject> folder = makeComObject<ScriptedObject>();
    ComPtr<ScriptedObject> items = makeComObject<ScriptedObject>();
    ScriptedConnectionPoint* events = nullptr;
  };
  ComPtr<ScriptedObject> application = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> explorers = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> inspectors = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> session = makeComObject<ScriptedObject>();
  ComPtr<ScriptedObject> addInInst = makeComObject<ScriptedObject>();
  Folder folders[3] = {
      {platform::kOlFolderDeletedItems}, {platform::kOlFolderInbox}, {platform::kOlFolderSentMail}};
  ScriptedConnectionPoint* applicationEvents = nullptr;
  ScriptedConnectionPoint* inspectorsEvents = nullptr;
};

TEST(AddinHost, LettingGoOfTheAddInLetsGoOfEverythingItHeldOfOutlook) {
  OutlookWithAWindow outlook;
  {
    ComPtr<IDispatch> created = createByProgId(u"Korvanel.Connect");
    ASSERT_TRUE(created);
    ComPtr<IDTExtensibility2> addin = created.as<IDTExtensibility2>();
    created.reset();
    ASSERT_TRUE(addin);
    EXPECT_EQ(addin->OnConnection(outlook.application.get(), ext_cm_Startup,
                                  outlook.addInInst.get(), nullptr),
              S_OK);
    EXPECT_EQ(addin->OnStartupComplete(nullptr), S_OK);
    // ItemSend, NewMailEx, OptionsPagesAdd; NewInspector; the ItemAdd of the three folders
    // and the Inbox's ItemChange.
    EXPECT_EQ(outlook.applicationEvents->sinkCount(), 3u);
    EXPECT_EQ(outlook.inspectorsEvents->sinkCount(), 1u);
    EXPECT_EQ(outlook.folders[0].events->sinkCount(), 1u);
    EXPECT_EQ(outlook.folders[1].events->sinkCount(), 2u);
    EXPECT_EQ(outlook.folders[2].events->sinkCount(), 1u);

    EXPECT_EQ(addin->OnBeginShutdown(nullptr), S_OK);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  }
  EXPECT_EQ(outlook.sinks(), 0u);
  for (ScriptedObject* object : outlook.objects()) EXPECT_EQ(object->references(), 1u);
  EXPECT_EQ(canUnloadAddin(), S_OK);
}

TEST(AddinHost, EventsWithoutHostObjectsDoNotFail) {
  ComPtr<IDispatch> created = createByProgId(u"Korvanel.Connect");
  ASSERT_TRUE(created);
  ComPtr<IDTExtensibility2> addin = created.as<IDTExtensibility2>();
  ASSERT_TRUE(addin);
  EXPECT_EQ(addin->OnConnection(nullptr, ext_cm_AfterStartup, nullptr, nullptr), S_OK);
  EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
  ComPtr<_Connect> members = created.as<_Connect>();
  ASSERT_TRUE(members);
  BSTR profile = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(members->get_sPN(&profile), S_OK);
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(SysStringLen(profile), 0u);
  SysFreeString(profile);
  EXPECT_EQ(members->get_sUN(nullptr), E_POINTER);
}

}  // namespace
}  // namespace korvanel::win::testing
