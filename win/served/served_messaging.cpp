#include "win/served/served_messaging.h"

#include <functional>

#include "win/com/com_object.h"
#include "win/com/com_registration.h"
#include "win/com/guard.h"
#include "win/system/advapi_registry.h"

namespace korvanel::win::served {

namespace {

HRESULT done(Call& c, bool ok) { return ok ? c.returnsNothing() : Call::failed(); }

template <class S, class ItemServed>
MemberTable collection(const char16_t* name, const char16_t* library) {
  return Members<S>(name, library)
      .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
      .method(
          u"Item", {u"Index"},
          [](S& s, Call& c) { return c.returns(serve<ItemServed>(s.object->item(c.longArg(0)))); },
          DISPID_VALUE)
      .build();
}

// A Fields item by name ("{GUID}0x8580", "{GUID}x-recipientlist") or by property tag.
platform::CdoFieldPtr fieldOf(ServedCdoFields& s, const Call& c) {
  const VARIANT* index = c.arg(0);
  if (index == nullptr) return nullptr;
  if (index->vt == VT_BSTR) return s.object->itemByName(c.textArg(0));
  return s.object->itemByTag(static_cast<std::uint32_t>(c.longArg(0)));
}

}  // namespace

const MemberTable& ServedCdoSession::table() const {
  using S = ServedCdoSession;
  static const MemberTable t =
      Members<S>(u"Session", u"CDO")
          .method(u"Logon",
                  {u"ProfileName", u"ProfilePassword", u"ShowDialog", u"NewSession",
                   u"ParentWindow", u"NoMail", u"ProfileInfo"},
                  [](S& s, Call& c) {
                    return done(c, s.object->logon(c.textArg(0), c.textArg(1), c.boolArg(2, true),
                                                   c.boolArg(3, true)));
                  })
          .method(u"Logoff", {}, [](S& s, Call& c) { return done(c, s.object->logoff()); })
          .get(u"Name", [](S& s, Call& c) { return c.returns(s.object->name()); })
          .method(u"GetMessage", {u"MessageID", u"StoreID"},
                  [](S& s, Call& c) {
                    ComPtr<IDispatch> m =
                        serve<ServedCdoMessage>(s.object->getMessage(c.textArg(0), c.textArg(1)));
                    return m ? c.returns(m) : Call::failed();
                  })
          .method(u"GetInfoStore", {u"StoreID"},
                  [](S& s, Call& c) {
                    ComPtr<IDispatch> store =
                        serve<ServedCdoInfoStore>(s.object->getInfoStore(c.textArg(0)));
                    return store ? c.returns(store) : Call::failed();
                  })
          .build();
  return t;
}

const MemberTable& ServedCdoMessage::table() const {
  using S = ServedCdoMessage;
  static const MemberTable t =
      Members<S>(u"Message", u"CDO")
          .get(u"Fields",
               [](S& s, Call& c) { return c.returns(serve<ServedCdoFields>(s.object->fields())); })
          .method(u"Update", {u"MakePermanent", u"RefreshObject"},
                  [](S& s, Call& c) { return done(c, s.object->update()); })
          .build();
  return t;
}

const MemberTable& ServedCdoInfoStore::table() const {
  using S = ServedCdoInfoStore;
  static const MemberTable t =
      Members<S>(u"InfoStore", u"CDO")
          .get(u"Fields",
               [](S& s, Call& c) { return c.returns(serve<ServedCdoFields>(s.object->fields())); })
          .build();
  return t;
}

const MemberTable& ServedCdoFields::table() const {
  using S = ServedCdoFields;
  static const MemberTable t =
      Members<S>(u"Fields", u"CDO")
          .method(
              u"Item", {u"Index", u"PropsetID"},
              [](S& s, Call& c) {
                ComPtr<IDispatch> field = serve<ServedCdoField>(fieldOf(s, c));
                // CDO raises MAPI_E_NOT_FOUND for a field the message lacks.
                return field ? c.returns(field) : static_cast<HRESULT>(0x8004010F);
              },
              DISPID_VALUE)
          .method(u"Add", {u"Name", u"Class", u"Value", u"PropsetID"},
                  [](S& s, Call& c) {
                    platform::CdoFieldPtr added;
                    const VARIANT* name = c.arg(0);
                    if (name != nullptr && name->vt != VT_BSTR) {
                      // By property tag: Add(tag, Value).
                      added = s.object->addTag(static_cast<std::uint32_t>(c.longArg(0)),
                                               c.has(2) ? c.variantArg(2) : c.variantArg(1));
                    } else {
                      added = s.object->addNamed(c.textArg(0), c.longArg(1), c.variantArg(2),
                                                 c.textArg(3));
                    }
                    ComPtr<IDispatch> field = serve<ServedCdoField>(added);
                    return field ? c.returns(field) : Call::failed();
                  })
          .build();
  return t;
}

const MemberTable& ServedCdoField::table() const {
  using S = ServedCdoField;
  static const MemberTable t =
      Members<S>(u"Field", u"CDO")
          .getPut(
              u"Value", [](S& s, Call& c) { return c.returnsVariant(s.object->value()); },
              [](S& s, Call& c) { return done(c, s.object->setValue(c.valueAsVariant())); },
              DISPID_VALUE)
          .method(u"Delete", {}, [](S& s, Call& c) { return done(c, s.object->deleteField()); })
          .build();
  return t;
}

const MemberTable& ServedProfiles::table() const {
  using S = ServedProfiles;
  static const MemberTable t = [] {
    return Members<S>(u"Profiles", u"ProfMan")
        .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
        .method(
            u"Item", {u"Index"},
            [](S& s, Call& c) {
              return c.returns(serve<ServedProfile>(s.object->item(c.longArg(0))));
            },
            DISPID_VALUE)
        .method(u"Add", {u"ProfileName", u"ShowDialog", u"SetDefault"},
                [](S& s, Call& c) {
                  ComPtr<IDispatch> added =
                      serve<ServedProfile>(s.object->add(c.textArg(0), c.boolArg(1), c.boolArg(2)));
                  return added ? c.returns(added) : Call::failed();
                })
        .build();
  }();
  return t;
}

const MemberTable& ServedProfile::table() const {
  using S = ServedProfile;
  static const MemberTable t =
      Members<S>(u"Profile", u"ProfMan")
          .get(u"Name", [](S& s, Call& c) { return c.returns(s.object->name()); })
          .get(u"Services",
               [](S& s, Call& c) { return c.returns(serve<ServedServices>(s.object->services())); })
          .method(u"Delete", {}, [](S& s, Call& c) { return done(c, s.object->deleteProfile()); })
          .build();
  return t;
}

const MemberTable& ServedServices::table() const {
  using S = ServedServices;
  static const MemberTable t =
      Members<S>(u"Services", u"ProfMan")
          .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](S& s, Call& c) {
                return c.returns(serve<ServedService>(s.object->item(c.longArg(0))));
              },
              DISPID_VALUE)
          .method(u"Add", {u"ServiceName", u"DisplayName", u"ShowDialog"},
                  [](S& s, Call& c) {
                    ComPtr<IDispatch> added = serve<ServedService>(
                        s.object->add(c.textArg(0), c.textArg(1), c.boolArg(2)));
                    return added ? c.returns(added) : Call::failed();
                  })
          .build();
  return t;
}

const MemberTable& ServedService::table() const {
  using S = ServedService;
  static const MemberTable t =
      Members<S>(u"Service", u"ProfMan")
          .get(u"Providers",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedProviders>(s.object->providers()));
               })
          .method(u"Configure", {u"Flags", u"PropertyBag"},
                  [](S& s, Call& c) {
                    ServedPropertyBag* bag = servedAs<ServedPropertyBag>(c.objectArg(1).get());
                    return done(c, s.object->configure(c.longArg(0), bag ? bag->object : nullptr));
                  })
          .build();
  return t;
}

const MemberTable& ServedProviders::table() const {
  static const MemberTable t =
      collection<ServedProviders, ServedProvider>(u"Providers", u"ProfMan");
  return t;
}

const MemberTable& ServedProvider::table() const {
  using S = ServedProvider;
  static const MemberTable t =
      Members<S>(u"Provider", u"ProfMan")
          .get(u"UID", [](S& s, Call& c) { return c.returns(s.object->uId()); })
          .get(u"DisplayName", [](S& s, Call& c) { return c.returns(s.object->displayName()); })
          .build();
  return t;
}

const MemberTable& ServedPropertyBag::table() const {
  using S = ServedPropertyBag;
  static const MemberTable t =
      Members<S>(u"PropertyBag", u"ProfMan")
          .method(u"Add", {u"PropTag", u"Value"},
                  [](S& s, Call& c) {
                    return done(c, s.object->add(static_cast<std::uint32_t>(c.longArg(0)),
                                                 c.variantArg(1)));
                  })
          .build();
  return t;
}

// ---- Creation by ProgID

namespace {

// CDO 1.21's Session class; the profile library's classes have identifiers of their own.
constexpr CLSID kClsidCdoSession = {
    0x3FA7DEB3, 0x6438, 0x101B, {0xAC, 0xC1, 0x00, 0xAA, 0x00, 0x42, 0x33, 0x26}};
constexpr CLSID kClsidProfManProfiles = {
    0x4b565301, 0x5052, 0x4f46, {0x4d, 0x41, 0x4e, 0x50, 0x52, 0x4f, 0x46, 0x53}};
constexpr CLSID kClsidProfManPropertyBag = {
    0x4b565302, 0x5052, 0x4f46, {0x4d, 0x41, 0x4e, 0x42, 0x41, 0x47, 0x00, 0x01}};
// Outlook's Application: the running Outlook registers it as a local server, so creating it
// from inside Outlook's process gives the running one.
constexpr CLSID kClsidOutlookApplication = {0x0006F03A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class ServedClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ServedClassFactory(std::function<ComPtr<IDispatch>()> create)
      : create_(std::move(create)) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return guard([&] {
      ComPtr<IDispatch> object = create_();
      // As CreateObject finds it when the class cannot be created.
      if (!object) return static_cast<HRESULT>(REGDB_E_CLASSNOTREG);
      return object->QueryInterface(iid, out);
    });
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 protected:
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory*>(this)
                                                           : nullptr;
  }

 private:
  std::function<ComPtr<IDispatch>()> create_;
};

}  // namespace

ServedClasses::ServedClasses(platform::ObjectFactory& objects, bool cdoInstalled) {
  AdvapiRegistry registry;
  struct Class {
    const char16_t* progId;
    const CLSID* clsid;
    DWORD context;
    bool installed;
    std::function<ComPtr<IDispatch>()> create;
  };
  const Class classes[] = {
      {u"MAPI.Session", &kClsidCdoSession, CLSCTX_INPROC_SERVER, cdoInstalled,
       [&objects] { return serve<ServedCdoSession>(objects.createCdoSession()); }},
      {u"ProfMan.Profiles", &kClsidProfManProfiles, CLSCTX_INPROC_SERVER, true,
       [&objects] { return serve<ServedProfiles>(objects.createProfManProfiles()); }},
      {u"ProfMan.PropertyBag", &kClsidProfManPropertyBag, CLSCTX_INPROC_SERVER, true,
       [&objects] { return serve<ServedPropertyBag>(objects.createProfManPropertyBag()); }},
      {u"Outlook.Application", &kClsidOutlookApplication, CLSCTX_LOCAL_SERVER, true,
       [&objects] { return serve<ServedApplication>(objects.createOutlookApplication()); }},
  };
  for (const Class& c : classes) {
    if (!c.installed) {
      deleteKeyTree(registry, platform::kHkeyClassesRoot, c.progId);
      continue;
    }
    setStringValue(registry, platform::kHkeyClassesRoot, Text(c.progId) + u"\\CLSID", u"",
                   guidText(*c.clsid));
    ComPtr<IClassFactory> factory = makeComObject<ServedClassFactory, IClassFactory>(c.create);
    DWORD cookie = 0;
    if (SUCCEEDED(CoRegisterClassObject(*c.clsid, factory.get(), c.context, REGCLS_MULTIPLEUSE,
                                        &cookie))) {
      registrations_.push_back(Registration{c.progId, *c.clsid, cookie});
    }
  }
}

ServedClasses::~ServedClasses() {
  AdvapiRegistry registry;
  for (const Registration& r : registrations_) {
    CoRevokeClassObject(r.cookie);
    deleteKeyTree(registry, platform::kHkeyClassesRoot, r.progId);
  }
}

}  // namespace korvanel::win::served
