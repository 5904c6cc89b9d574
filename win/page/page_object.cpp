#include "win/page/page_object.h"

#include "win/com/bstr.h"
#include "win/com/variant_conversion.h"
#include "win/com/wide.h"
#include "win/outlook/folder.h"
#include "win/page/property_page_site.h"

namespace korvanel::win {
namespace {

// Outlook's PropertyPage members, for callers that reach them through IDispatch.
constexpr DISPID kDispidGetPageInfo = 0x2100;
constexpr DISPID kDispidDirty = 0x2101;
constexpr DISPID kDispidApply = 0x2102;

// The page's size in HIMETRIC (hundredths of a millimetre), as OLE sizes objects.
long twipsToHimetric(long twips) { return MulDiv(static_cast<int>(twips), 2540, 1440); }

VARIANT_BOOL variantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Writes a text back through an [in, out] VARIANT, whatever reference it holds.
void writeText(VARIANT* target, const text::Text& value) {
  while (target->vt == (VT_BYREF | VT_VARIANT) && target->pvarVal != nullptr) {
    target = target->pvarVal;
  }
  Bstr s(value);
  if (target->vt == (VT_BYREF | VT_BSTR) && target->pbstrVal != nullptr) {
    SysFreeString(*target->pbstrVal);
    *target->pbstrVal = s.detach();
    return;
  }
  VariantClear(target);
  target->vt = VT_BSTR;
  target->bstrVal = s.detach();
}

}  // namespace

KorvanelPageObject::KorvanelPageObject()
    : library_(pageLibrary()),
      page_(platform::adoptWithTerminate(
          std::make_unique<page::KorvanelPage>(library_.services, library_.module))),
      window_(*page_, self()) {
  const page::PageLayout& layout = page_->layout();
  extent_.cx = twipsToHimetric(layout.width);
  extent_.cy = twipsToHimetric(layout.height);
}

KorvanelPageObject::~KorvanelPageObject() {
  try {
    window_.destroy();
    documentWindow_.reset();
    frame_.reset();
    inPlaceSite_.reset();
    clientSite_.reset();
    viewSink_.reset();
    adviseHolder_.reset();
    page_.reset();
  } catch (...) {
  }
}

void* KorvanelPageObject::findInterface(REFIID iid) {
  if (void* dispatch = findDispatch(iid)) return dispatch;
  if (iid == __uuidof(PropertyPage)) return static_cast<PropertyPage*>(this);
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    return static_cast<IOleInPlaceObject*>(this);
  }
  if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IViewObject || iid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
  if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
    return static_cast<IPersistStreamInit*>(this);
  }
  return nullptr;
}

template <class Body>
HRESULT KorvanelPageObject::pageCall(Body&& body) {
  return guard([&] {
    // A message box inside the page runs a message loop in which the dialog may close.
    ComPtr<IUnknown> keepAlive(self());
    const HRESULT hr = body();
    window_.refresh();
    return hr;
  });
}

// ---- Load.

void KorvanelPageObject::loadWhenReady() {
  if (initialised_ && clientSite_) load();
}

void KorvanelPageObject::load() {
  if (loaded_) return;
  loaded_ = true;
  platform::PropertyPageSitePtr site;
  if (clientSite_) {
    ComPtr<IDispatch> pageSite;
    clientSite_->QueryInterface(__uuidof(PropertyPageSite), pageSite.putVoid());
    if (pageSite) site = std::make_shared<PropertyPageSiteAdapter>(std::move(pageSite));
  }
  page_->initProperties(site);
  window_.refresh();
}

// ---- IDispatch.

STDMETHODIMP KorvanelPageObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                               DISPID* ids) {
  const HRESULT hr = DispatchObject::GetIDsOfNames(iid, names, count, lcid, ids);
  if (hr != DISP_E_UNKNOWNNAME || count != 1 || names == nullptr || ids == nullptr) return hr;
  return guard([&] {
    const text::Text name = fromWide(names[0]);
    const std::pair<const char16_t*, DISPID> members[] = {
        {u"GetPageInfo", kDispidGetPageInfo}, {u"Dirty", kDispidDirty}, {u"Apply", kDispidApply}};
    for (const auto& [member, id] : members) {
      if (text::equalsNoCase(name, member)) {
        ids[0] = id;
        return S_OK;
      }
    }
    return hr;
  });
}

STDMETHODIMP KorvanelPageObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                        DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                        UINT* badArgument) {
  switch (id) {
    case kDispidGetPageInfo:
      return S_OK;  // no help: nothing to give back
    case kDispidDirty: {
      if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      VARIANT_BOOL dirty = VARIANT_FALSE;
      const HRESULT hr = get_Dirty(&dirty);
      if (result != nullptr && SUCCEEDED(hr)) {
        VariantClear(result);
        result->vt = VT_BOOL;
        result->boolVal = dirty;
      }
      return hr;
    }
    case kDispidApply:
      return Apply();
    default:
      return DispatchObject::Invoke(id, iid, lcid, flags, params, result, exception, badArgument);
  }
}

// ---- _KorvanelPage.

STDMETHODIMP KorvanelPageObject::get_Caption(BSTR* value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return guard([&] {
    *value = Bstr(page_->Caption()).detach();
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
  });
}

STDMETHODIMP KorvanelPageObject::AddOrEdit(BSTR def, BSTR mode) {
  return pageCall([&] {
    page_->AddOrEdit(fromBstr(def), fromBstr(mode));
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ValidateInput(BSTR* s, short* result) {
  if (s == nullptr || result == nullptr) return E_POINTER;
  return guard([&] {
    // A null string is a cancelled input box, apart from an empty entry.
    std::optional<text::Text> value;
    if (*s != nullptr) value = fromBstr(*s);
    const std::optional<text::Text> before = value;
    *result = page_->ValidateInput(value);
    if (value != before && value) {
      Bstr rewritten(*value);
      SysFreeString(*s);
      *s = rewritten.detach();
    }
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ValidateSMTPEmail(VARIANT* sEmail, VARIANT_BOOL* result) {
  if (sEmail == nullptr || result == nullptr) return E_POINTER;
  return guard([&] {
    text::Text email = fromVariant(*sEmail).toText();
    *result = variantBool(page_->ValidateSMTPEmail(email));
    writeText(sEmail, email);  // trimmed in place
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ValidateDN(VARIANT* sDN, VARIANT_BOOL* result) {
  if (sDN == nullptr || result == nullptr) return E_POINTER;
  return guard([&] {
    *result = variantBool(page_->ValidateDN(fromVariant(*sDN).toText()));
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ResetButtons() {
  return pageCall([&] {
    page_->ResetButtons();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ListHScroll1() {
  return pageCall([&] {
    page_->ListHScroll1();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::ListHScroll4() {
  return pageCall([&] {
    page_->ListHScroll4();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::IsProperFolder(IDispatch* oFld1, VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  return guard([&] {
    *result = variantBool(page_->IsProperFolder(makeFolder(ComPtr<IDispatch>(oFld1))));
    return S_OK;
  });
}

// ---- PropertyPage.

STDMETHODIMP KorvanelPageObject::GetPageInfo(BSTR* helpFile, LONG* helpContext) {
  return guard([&] {
    text::Text file = helpFile != nullptr ? fromBstr(*helpFile) : text::Text();
    long context = helpContext != nullptr ? *helpContext : 0;
    page_->getPageInfo(file, context);
    // The page has no help, so both arguments normally come back untouched.
    if (helpFile != nullptr && file != fromBstr(*helpFile)) {
      SysFreeString(*helpFile);
      *helpFile = Bstr(file).detach();
    }
    if (helpContext != nullptr) *helpContext = context;
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::get_Dirty(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = VARIANT_FALSE;
  return guard([&] {
    *value = variantBool(page_->dirty());
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::Apply() {
  return pageCall([&] {
    page_->apply();
    return S_OK;
  });
}

// ---- IOleObject.

STDMETHODIMP KorvanelPageObject::SetClientSite(IOleClientSite* site) {
  return guard([&] {
    clientSite_ = ComPtr<IOleClientSite>(site);
    loadWhenReady();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = ComPtr<IOleClientSite>(clientSite_).detach();
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::Close(DWORD) {
  return guard([&] {
    ComPtr<IUnknown> keepAlive(self());
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    clientSite_.reset();
    viewSink_.reset();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out != nullptr) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP KorvanelPageObject::GetClipboardData(DWORD, IDataObject** out) {
  if (out != nullptr) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP KorvanelPageObject::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG,
                                        HWND parent, LPCRECT position) {
  return guard([&] {
    if (!clientSite_ && activeSite != nullptr) clientSite_ = ComPtr<IOleClientSite>(activeSite);
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_UIACTIVATE:
        return activate(true, parent, position);
      case OLEIVERB_INPLACEACTIVATE:
        return activate(false, parent, position);
      case OLEIVERB_HIDE:
        UIDeactivate();
        if (HWND w = window_.handle()) ShowWindow(w, SW_HIDE);
        return S_OK;
      default:
        if (verb < 0) return E_NOTIMPL;
        // An unknown verb of the control's own runs its primary verb.
        const HRESULT hr = activate(true, parent, position);
        return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
    }
  });
}

HRESULT KorvanelPageObject::activate(bool uiActivate, HWND parent, LPCRECT position) {
  // A container that never initialised the control still gets a loaded page.
  load();
  if (!inPlaceActive_) {
    if (!clientSite_) return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> site = clientSite_.as<IOleInPlaceSite>();
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    site->OnInPlaceActivate();
    inPlaceSite_ = site;
    inPlaceActive_ = true;
    HWND container = nullptr;
    if (FAILED(site->GetWindow(&container)) || container == nullptr) container = parent;
    RECT place = {0, 0, 0, 0};
    if (position != nullptr) place = *position;
    RECT clip = place;
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(site->GetWindowContext(frame_.put(), documentWindow_.put(), &place, &clip,
                                      &frameInfo))) {
      frame_.reset();
      documentWindow_.reset();
    }
    if (!window_.create(container, place)) {
      InPlaceDeactivate();
      return E_FAIL;
    }
  }
  if (HWND w = window_.handle()) ShowWindow(w, SW_SHOWNA);
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    IOleInPlaceActiveObject* active = this;
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (documentWindow_) documentWindow_->SetActiveObject(active, nullptr);
    // The keyboard goes to the page's first control, unless it is inside the page already.
    HWND w = window_.handle();
    if (HWND focus = GetFocus(); focus != w && !IsChild(w, focus)) {
      if (HWND first = GetNextDlgTabItem(w, nullptr, FALSE)) SetFocus(first);
    }
  }
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::EnumVerbs(IEnumOLEVERB** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return OLEOBJ_E_NOVERBS;
}

STDMETHODIMP KorvanelPageObject::GetUserType(DWORD form, LPOLESTR* type) {
  return OleRegGetUserType(__uuidof(KorvanelPage), form, type);
}

STDMETHODIMP KorvanelPageObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::Advise(IAdviseSink* sink, DWORD* connection) {
  return guard([&] {
    if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put()))) {
      return E_OUTOFMEMORY;
    }
    return adviseHolder_->Advise(sink, connection);
  });
}

STDMETHODIMP KorvanelPageObject::Unadvise(DWORD connection) {
  if (!adviseHolder_) return OLE_E_NOCONNECTION;
  return adviseHolder_->Unadvise(connection);
}

STDMETHODIMP KorvanelPageObject::EnumAdvise(IEnumSTATDATA** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!adviseHolder_) return S_OK;
  return adviseHolder_->EnumAdvise(out);
}

STDMETHODIMP KorvanelPageObject::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = kPageMiscStatus;
  return S_OK;
}

// ---- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject.

STDMETHODIMP KorvanelPageObject::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_.handle();
  return *window != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP KorvanelPageObject::InPlaceDeactivate() {
  return guard([&] {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    window_.destroy();
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_.reset();
    frame_.reset();
    documentWindow_.reset();
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::UIDeactivate() {
  return guard([&] {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (documentWindow_) documentWindow_->SetActiveObject(nullptr, nullptr);
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position == nullptr) return E_POINTER;
  window_.setPosition(*position);
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::TranslateAccelerator(LPMSG message) {
  return guard([&] { return window_.translateDialogKey(message) ? S_OK : S_FALSE; });
}

// ---- IOleControl.

STDMETHODIMP KorvanelPageObject::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  // No control of the page has a mnemonic of its own.
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

// ---- IViewObject2.

STDMETHODIMP KorvanelPageObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                      LPCRECTL bounds, LPCRECTL,
                                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
  return guard([&] {
    const RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    // An active page draws itself and its controls as they stand.
    if (HWND w = window_.handle()) {
      POINT origin;
      OffsetViewportOrgEx(dc, area.left, area.top, &origin);
      SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                   PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND | PRF_NONCLIENT);
      SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    }
    return S_OK;
  });
}

STDMETHODIMP KorvanelPageObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewAdviseFlags_ = flags;
  viewSink_ = ComPtr<IAdviseSink>(sink);
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = viewAspects_;
  if (flags != nullptr) *flags = viewAdviseFlags_;
  if (sink != nullptr) *sink = ComPtr<IAdviseSink>(viewSink_).detach();
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// ---- IPersistStreamInit.

STDMETHODIMP KorvanelPageObject::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = __uuidof(KorvanelPage);
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::Load(LPSTREAM) {
  // The page keeps nothing in its container: a saved page loads as a new one does.
  return InitNew();
}

STDMETHODIMP KorvanelPageObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

STDMETHODIMP KorvanelPageObject::InitNew() {
  return guard([&] {
    if (initialised_) return CO_E_ALREADYINITIALIZED;
    initialised_ = true;
    loadWhenReady();
    return S_OK;
  });
}

}  // namespace korvanel::win
