#include "win/tests/options_dialog_host.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <utility>
#include <vector>

#include "win/com/com_object.h"
#include "win/com/wide.h"

namespace korvanel::win::testing {

namespace {

// Outlook's PropertyPageSite members.
constexpr DISPID kDispidApplication = 0xF000;
constexpr DISPID kDispidParent = 0xF001;
constexpr DISPID kDispidOnStatusChange = 0x2100;

constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

int himetricToPixels(long himetric, int dpi) {
  return MulDiv(static_cast<int>(himetric), dpi, 2540);
}

// An empty modeless dialog template with a caption; the host adds its buttons itself.
std::vector<DWORD> dialogTemplate(text::TextView title) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
  t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  t->dwExtendedStyle = WS_EX_CONTROLPARENT;
  t->cdit = 0;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (char16_t c : title) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
  std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
  return aligned;
}

}  // namespace

// The client site of the page's control: IOleClientSite, its in-place site and frame, and
// Outlook's PropertyPageSite.
class OptionsPageSite final
    : public ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, PropertyPageSite> {
 public:
  explicit OptionsPageSite(OptionsDialogHost& host) : host_(&host) {}
  void detach() { host_ = nullptr; }

  // IOleClientSite.
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow.
  STDMETHODIMP GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = host_ != nullptr ? host_->dialog_ : nullptr;
    return *window != nullptr ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite.
  STDMETHODIMP CanInPlaceActivate() override { return host_ != nullptr ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        info == nullptr || host_ == nullptr) {
      return E_INVALIDARG;
    }
    AddRef();
    *frame = this;
    *document = nullptr;
    *position = host_->pageArea_;
    *clip = host_->pageArea_;
    info->fMDIApp = FALSE;
    info->hwndFrame = host_->dialog_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: a dialog has no tool space and no menus.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    if (host_ != nullptr) host_->activeObject_ = ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // PropertyPageSite, through its vtable and by name.
  STDMETHODIMP get_Application(IDispatch** value) override {
    if (value == nullptr) return E_POINTER;
    *value = host_ != nullptr ? ComPtr<IDispatch>(host_->application_).detach() : nullptr;
    return S_OK;
  }
  STDMETHODIMP get_Class(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Session(IDispatch** value) override {
    if (value != nullptr) *value = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP get_Parent(IDispatch** value) override { return get_Application(value); }
  STDMETHODIMP OnStatusChange() override {
    if (host_ != nullptr) host_->statusChanged();
    return S_OK;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count != 1) return DISP_E_UNKNOWNNAME;
    const std::pair<const char16_t*, DISPID> members[] = {
        {u"Application", kDispidApplication},
        {u"Parent", kDispidParent},
        {u"OnStatusChange", kDispidOnStatusChange}};
    const text::Text name = fromWide(names[0]);
    for (const auto& [member, id] : members) {
      if (text::equalsNoCase(name, member)) {
        ids[0] = id;
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    switch (id) {
      case kDispidApplication:
      case kDispidParent: {
        if (!(flags & DISPATCH_PROPERTYGET) || result == nullptr) return DISP_E_MEMBERNOTFOUND;
        IDispatch* application = nullptr;
        get_Application(&application);
        VariantInit(result);
        result->vt = VT_DISPATCH;
        result->pdispVal = application;
        return S_OK;
      }
      case kDispidOnStatusChange:
        return OnStatusChange();
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 protected:
  void* findInterface(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      return static_cast<IOleInPlaceSite*>(this);
    }
    if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      return static_cast<IOleInPlaceFrame*>(this);
    }
    if (iid == IID_IDispatch || iid == __uuidof(PropertyPageSite)) {
      return static_cast<PropertyPageSite*>(this);
    }
    return nullptr;
  }

 private:
  OptionsDialogHost* host_;
};

OptionsDialogHost::OptionsDialogHost(ComPtr<IDispatch> application)
    : application_(std::move(application)) {}

OptionsDialogHost::~OptionsDialogHost() { close(); }

bool OptionsDialogHost::open(text::TextView progId, text::TextView title, HWND owner) {
  if (dialog_ != nullptr) return false;
  CLSID clsid = {};
  if (FAILED(CLSIDFromProgID(toWide(progId).c_str(), &clsid))) return false;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              control_.putVoid()))) {
    return false;
  }
  site_ = ComPtr<OptionsPageSite>::attach(new OptionsPageSite(*this));

  // As a container does: the site first when the control asks for it, then InitNew.
  DWORD misc = 0;
  control_->GetMiscStatus(DVASPECT_CONTENT, &misc);
  const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) control_->SetClientSite(site_.get());
  if (ComPtr<IPersistStreamInit> persist = control_.as<IPersistStreamInit>()) persist->InitNew();
  if (!siteFirst) control_->SetClientSite(site_.get());

  // The page's area is its extent at the display's logical pixels.
  SIZEL extent = {0, 0};
  control_->GetExtent(DVASPECT_CONTENT, &extent);
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  pageArea_ = {kMargin, kMargin, kMargin + himetricToPixels(extent.cx, dpiX),
               kMargin + himetricToPixels(extent.cy, dpiY)};

  const std::vector<DWORD> dialogTemplateWords = dialogTemplate(title);
  dialog_ = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplateWords.data()),
      owner, &OptionsDialogHost::dialogProc, reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr) {
    close();
    return false;
  }
  RECT frame = {0, 0, pageArea_.right + kMargin, pageArea_.bottom + 2 * kMargin + kButtonHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
  SetWindowPos(dialog_, nullptr, 20, 20, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const std::pair<const wchar_t*, int> buttons[] = {
      {L"OK", IDOK}, {L"Cancel", IDCANCEL}, {L"Apply", kApplyButtonId}};
  int x = pageArea_.right - 3 * kButtonWidth - 2 * kMargin;
  for (const auto& [caption, id] : buttons) {
    HWND button = CreateWindowExW(
        0, L"BUTTON", caption,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x,
        pageArea_.bottom + kMargin, kButtonWidth, kButtonHeight, dialog_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    x += kButtonWidth + kMargin;
  }
  // Outlook enables Apply only once a page reports a change.
  EnableWindow(GetDlgItem(dialog_, kApplyButtonId), FALSE);
  if (owner != nullptr && IsWindowEnabled(owner)) {
    owner_ = owner;
    EnableWindow(owner_, FALSE);
  }
  ShowWindow(dialog_, SW_SHOW);
  SetForegroundWindow(dialog_);
  SetActiveWindow(dialog_);

  if (FAILED(control_->DoVerb(OLEIVERB_SHOW, nullptr, site_.get(), 0, dialog_, &pageArea_))) {
    close();
    return false;
  }
  page_ = control_.as<PropertyPage>();
  return static_cast<bool>(page_);
}

HWND OptionsDialogHost::pageWindow() const {
  ComPtr<IOleInPlaceObject> inPlace = control_.as<IOleInPlaceObject>();
  HWND window = nullptr;
  if (!inPlace || FAILED(inPlace->GetWindow(&window))) return nullptr;
  return window;
}

bool OptionsDialogHost::pageDirty() const {
  VARIANT_BOOL dirty = VARIANT_FALSE;
  return page_ && SUCCEEDED(page_->get_Dirty(&dirty)) && dirty != VARIANT_FALSE;
}

void OptionsDialogHost::statusChanged() {
  ++statusChanges_;
  if (dialog_ != nullptr) {
    enableApply(pageDirty());
  }
  if (onStatusChange) onStatusChange();
}

void OptionsDialogHost::applyIfDirty() {
  // The page may close the dialog from inside Apply; it is kept until Apply returns.
  ComPtr<PropertyPage> page = page_;
  VARIANT_BOOL dirty = VARIANT_FALSE;
  if (page && SUCCEEDED(page->get_Dirty(&dirty)) && dirty != VARIANT_FALSE) page->Apply();
}

void OptionsDialogHost::pressOk() {
  applyIfDirty();
  close();
}

void OptionsDialogHost::pressApply() {
  applyIfDirty();
  enableApply(false);
}

void OptionsDialogHost::pressCancel() { close(); }

void OptionsDialogHost::enableApply(bool enabled) {
  if (dialog_ == nullptr) return;
  const HWND apply = GetDlgItem(dialog_, kApplyButtonId);
  // A disabled button loses the focus to nothing, and the keys typed next (the Esc the page
  // types after its Apply) would reach no control of the dialog: OK takes it over first.
  if (!enabled && GetFocus() == apply) {
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDOK)), TRUE);
  }
  EnableWindow(apply, enabled ? TRUE : FALSE);
}

void OptionsDialogHost::close() {
  ComPtr<IOleObject> control = std::move(control_);
  control_.reset();
  if (control) control->Close(OLECLOSE_NOSAVE);
  activeObject_.reset();
  page_.reset();
  control.reset();  // the last reference: the page ends
  if (site_) site_->detach();
  site_.reset();
  // The owner is enabled first, so that it is the window activated when the dialog goes.
  if (HWND owner = std::exchange(owner_, nullptr)) EnableWindow(owner, TRUE);
  if (HWND dialog = std::exchange(dialog_, nullptr)) DestroyWindow(dialog);
}

bool OptionsDialogHost::translate(MSG* message) {
  if (ComPtr<IOleInPlaceActiveObject> active = activeObject_;
      active && active->TranslateAccelerator(message) == S_OK) {
    return true;
  }
  return dialog_ != nullptr && IsDialogMessageW(dialog_, message) != FALSE;
}

void OptionsDialogHost::pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!translate(&message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

INT_PTR CALLBACK OptionsDialogHost::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  auto* host = reinterpret_cast<OptionsDialogHost*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (host == nullptr || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
  const int button = LOWORD(wParam);
  if (host->onButton && (button == IDOK || button == IDCANCEL || button == kApplyButtonId)) {
    host->onButton(button);
    return TRUE;
  }
  switch (button) {
    case IDOK:
      host->pressOk();
      return TRUE;
    case IDCANCEL:
      host->pressCancel();
      return TRUE;
    case kApplyButtonId:
      host->pressApply();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace korvanel::win::testing
