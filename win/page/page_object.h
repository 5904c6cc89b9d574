// The COM class KorvanelPage: the Options page as the ActiveX control that Outlook creates
// by the ProgID "Korvanel.KorvanelPage" and activates in place inside its Options dialog.
// It carries the page model (optionspage/) and its window (page_window.h); Outlook reaches
// it through its PropertyPage (GetPageInfo, Dirty, Apply), the page reaches Outlook through
// the PropertyPageSite that the client site answers. The public members of the page are
// its dual interface.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <memory>

#include "optionspage/korvanel_page.h"
#include "win/com/dispatch_object.h"
#include "win/page/korvanel_page_idl.h"
#include "win/page/outlook_page_idl.h"
#include "win/page/page_library.h"
#include "win/page/page_window.h"

namespace korvanel::win {

// How the control behaves in its container: active whenever it is visible, in place and
// without waiting for a click (inside-out), its site set before it is initialised.
inline constexpr DWORD kPageMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                         OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                         OLEMISC_SETCLIENTSITEFIRST;

class KorvanelPageObject final
    : public DispatchObject<_KorvanelPage, PropertyPage, IOleObject, IOleInPlaceObject,
                            IOleInPlaceActiveObject, IOleControl, IViewObject2,
                            IPersistStreamInit> {
 public:
  KorvanelPageObject();
  // The last release is the page's Terminate (which quits Outlook when a restart was
  // accepted).
  ~KorvanelPageObject() override;

  // IDispatch: the page's members, and PropertyPage's for callers that use its DISPIDs.
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

  // _KorvanelPage.
  STDMETHODIMP get_Caption(BSTR* value) override;
  STDMETHODIMP AddOrEdit(BSTR def, BSTR mode) override;
  STDMETHODIMP ValidateInput(BSTR* s, short* result) override;
  STDMETHODIMP ValidateSMTPEmail(VARIANT* sEmail, VARIANT_BOOL* result) override;
  STDMETHODIMP ValidateDN(VARIANT* sDN, VARIANT_BOOL* result) override;
  STDMETHODIMP ResetButtons() override;
  STDMETHODIMP ListHScroll1() override;
  STDMETHODIMP ListHScroll4() override;
  STDMETHODIMP IsProperFolder(IDispatch* oFld1, VARIANT_BOOL* result) override;

  // PropertyPage.
  STDMETHODIMP GetPageInfo(BSTR* helpFile, LONG* helpContext) override;
  STDMETHODIMP get_Dirty(VARIANT_BOOL* value) override;
  STDMETHODIMP Apply() override;

  // IOleObject.
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** out) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, shared by IOleInPlaceObject and IOleInPlaceActiveObject.
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceObject.
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleInPlaceActiveObject.
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl.
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IViewObject2.
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                    HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                    BOOL(STDMETHODCALLTYPE* keepDrawing)(ULONG_PTR),
                    ULONG_PTR keepDrawingArgument) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersistStreamInit.
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override;
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;

 protected:
  void* findInterface(REFIID iid) override;

 private:
  IUnknown* self() { return static_cast<_KorvanelPage*>(this); }
  // The page's load, once: when it is initialised and has its site, or at its activation.
  void loadWhenReady();
  void load();
  HRESULT activate(bool uiActivate, HWND parent, LPCRECT position);
  // Runs a member of the page model and shows its outcome, keeping the page alive meanwhile.
  template <class Body>
  HRESULT pageCall(Body&& body);

  PageLibrary library_;
  std::shared_ptr<page::KorvanelPage> page_;
  PageWindow window_;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> documentWindow_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
  SIZEL extent_;
  bool initialised_ = false;
  bool loaded_ = false;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
};

}  // namespace korvanel::win
