#include "win/served/served_type_info.h"

#include <new>

#include "win/com/bstr.h"
#include "win/com/com_object.h"
#include "win/com/wide.h"
#include "win/served/member_table.h"

namespace korvanel::win::served {

namespace {

class ServedTypeInfo final : public ComObject<ITypeInfo> {
 public:
  explicit ServedTypeInfo(const MemberTable& table) : table_(table) {}

  STDMETHODIMP GetTypeAttr(TYPEATTR** out) override {
    if (out == nullptr) return E_POINTER;
    auto* attr = new (std::nothrow) TYPEATTR{};
    if (attr == nullptr) return E_OUTOFMEMORY;
    attr->guid = table_.guid();
    attr->lcid = LOCALE_NEUTRAL;
    attr->memidConstructor = MEMBERID_NIL;
    attr->memidDestructor = MEMBERID_NIL;
    attr->cbSizeInstance = sizeof(void*);
    attr->typekind = TKIND_DISPATCH;
    attr->cImplTypes = 1;
    attr->cbSizeVft = 7 * sizeof(void*);
    attr->cbAlignment = sizeof(void*);
    attr->wTypeFlags = TYPEFLAG_FDISPATCHABLE;
    *out = attr;
    return S_OK;
  }
  STDMETHODIMP_(void) ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }

  STDMETHODIMP GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* context,
                                BSTR* helpFile) override {
    if (doc != nullptr) *doc = nullptr;
    if (context != nullptr) *context = 0;
    if (helpFile != nullptr) *helpFile = nullptr;
    Text found;
    if (id == MEMBERID_NIL) {
      found = table_.interfaceName();
    } else if (const MemberEntry* m = table_.byId(id)) {
      found = m->name;
    } else {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if (name != nullptr) *name = Bstr(found).detach();
    return S_OK;
  }

  STDMETHODIMP GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
    const MemberEntry* m = table_.byName(fromWide(names[0]));
    if (m == nullptr) return DISP_E_UNKNOWNNAME;
    ids[0] = m->id;
    return S_OK;
  }

  STDMETHODIMP GetNames(MEMBERID id, BSTR* names, UINT max, UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    const MemberEntry* m = table_.byId(id);
    if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    if (names != nullptr && max > 0) {
      names[0] = Bstr(m->name).detach();
      *count = 1;
    }
    return S_OK;
  }

  STDMETHODIMP GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  STDMETHODIMP GetFuncDesc(UINT, FUNCDESC**) override { return TYPE_E_ELEMENTNOTFOUND; }
  STDMETHODIMP GetVarDesc(UINT, VARDESC**) override { return TYPE_E_ELEMENTNOTFOUND; }
  STDMETHODIMP GetRefTypeOfImplType(UINT, HREFTYPE*) override { return TYPE_E_ELEMENTNOTFOUND; }
  STDMETHODIMP GetImplTypeFlags(UINT, INT*) override { return TYPE_E_ELEMENTNOTFOUND; }
  STDMETHODIMP Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  STDMETHODIMP GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMops(MEMBERID, BSTR* mops) override {
    if (mops != nullptr) *mops = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP_(void) ReleaseFuncDesc(FUNCDESC*) override {}
  STDMETHODIMP_(void) ReleaseVarDesc(VARDESC*) override {}

 protected:
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_ITypeInfo ? static_cast<ITypeInfo*>(this) : nullptr;
  }

 private:
  const MemberTable& table_;
};

}  // namespace

ComPtr<ITypeInfo> makeTypeInfo(const MemberTable& table) {
  return makeComObject<ServedTypeInfo, ITypeInfo>(table);
}

}  // namespace korvanel::win::served
