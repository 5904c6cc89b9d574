// Member names are looked up once per interface: objects that describe the same interface
// share their DISPIDs, unknown names are remembered as unknown, and an object without type
// information keeps its own names in its LateBound holder.
#include "win/com/late_bound.h"

#include <gtest/gtest.h>

#include "win/com/com_variant.h"
#include "win/tests/scripted_object.h"
#include "win/tests/scripted_type_info.h"

namespace korvanel::win::testing {
namespace {

ComPtr<ScriptedObject> counted(const GUID* interfaceId, DISPID countId) {
  ComPtr<ScriptedObject> object = makeComObject<ScriptedObject>();
  if (interfaceId != nullptr) object->describe(interfaceTypeInfo(L"_Items", *interfaceId));
  object->member(u"Count", countId, [](VARIANT* r) { return returnLong(r, 7); });
  return object;
}

long countOf(IDispatch* object, text::TextView name) {
  ComVariant value;
  if (FAILED(getProperty(object, name, value.put())) || value.type() != VT_I4) return -1;
  return value.get().lVal;
}

TEST(LateBound, ANameIsLookedUpOncePerInterfaceWhateverItsCase) {
  // A GUID no other test uses, so that nothing is cached for it yet.
  const GUID items = outlookGuid(0x0006FF01);
  ComPtr<ScriptedObject> first = counted(&items, 0x50);
  ComPtr<ScriptedObject> second = counted(&items, 0x50);
  const std::uint64_t before = memberNameLookups();

  EXPECT_EQ(countOf(first.get(), u"Count"), 7);
  EXPECT_EQ(countOf(first.get(), u"count"), 7);
  EXPECT_EQ(countOf(second.get(), u"COUNT"), 7);
  LateBound holder(ComPtr<IDispatch>(second.get()));
  DISPID id = 0;
  EXPECT_EQ(holder.memberId(u"Count", &id), S_OK);
  EXPECT_EQ(id, 0x50);
  EXPECT_EQ(first->nameLookups() + second->nameLookups(), 1);
  EXPECT_EQ(memberNameLookups() - before, 1u);

  // A name an object lacks is remembered by its holder only: another object of the same
  // interface (a newer Outlook's) may know it.
  EXPECT_EQ(holder.memberId(u"PropertyAccessor", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(holder.memberId(u"propertyaccessor", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(second->nameLookups(), 1);
  first->member(u"PropertyAccessor", 0xFAFD, [](VARIANT* r) { return returnLong(r, 1); });
  EXPECT_EQ(memberId(first.get(), u"PropertyAccessor", &id), S_OK);
  EXPECT_EQ(id, 0xFAFD);
  EXPECT_EQ(holder.memberId(u"PropertyAccessor", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(memberNameLookups() - before, 3u);
}

TEST(LateBound, AnotherInterfaceHasItsOwnDispids) {
  const GUID a = outlookGuid(0x0006FF02);
  const GUID b = outlookGuid(0x0006FF03);
  ComPtr<ScriptedObject> first = counted(&a, 0x50);
  ComPtr<ScriptedObject> second = counted(&b, 0x51);
  DISPID id = 0;
  EXPECT_EQ(memberId(first.get(), u"Count", &id), S_OK);
  EXPECT_EQ(id, 0x50);
  EXPECT_EQ(memberId(second.get(), u"Count", &id), S_OK);
  EXPECT_EQ(id, 0x51);
  EXPECT_EQ(dispatchInterfaceName(first.get()), u"_Items");
  EXPECT_EQ(dispatchInterfaceName(counted(nullptr, 1).get()), u"");
}

TEST(LateBound, AnObjectWithoutTypeInformationKeepsItsNamesInItsHolder) {
  ComPtr<ScriptedObject> object = counted(nullptr, 0x50);
  // The free functions cannot tell it from another object: asked every time.
  EXPECT_EQ(countOf(object.get(), u"Count"), 7);
  EXPECT_EQ(countOf(object.get(), u"Count"), 7);
  EXPECT_EQ(object->nameLookups(), 2);

  LateBound holder(ComPtr<IDispatch>(object.get()));
  ComVariant value;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(holder.get(u"count", value.put()), S_OK);
    EXPECT_EQ(value.get().lVal, 7);
  }
  DISPID id = 0;
  EXPECT_EQ(holder.memberId(u"Missing", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(holder.memberId(u"Missing", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(object->nameLookups(), 4);

  // A second holder of the same object starts afresh; a reset holder holds nothing.
  LateBound other(ComPtr<IDispatch>(object.get()));
  EXPECT_EQ(other.get(u"Count", value.put()), S_OK);
  EXPECT_EQ(object->nameLookups(), 5);
  holder.reset();
  EXPECT_EQ(holder.get(u"Count", value.put()), E_POINTER);
}

TEST(LateBound, ObjectPropertiesAreSetByReferenceFirst) {
  ComPtr<ScriptedObject> item = makeComObject<ScriptedObject>();
  std::vector<WORD> puts;
  item->member(u"SendUsingAccount", 0xFAD1, nullptr, [&](WORD flags, const VARIANT&) {
    puts.push_back(flags);
    return (flags & DISPATCH_PROPERTYPUTREF) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
  item->member(u"Subject", 0x37, nullptr, [&](WORD flags, const VARIANT&) {
    puts.push_back(flags);
    return (flags & DISPATCH_PROPERTYPUT) ? S_OK : DISP_E_MEMBERNOTFOUND;
  });
  VARIANT account;
  VariantInit(&account);
  account.vt = VT_DISPATCH;
  account.pdispVal = nullptr;
  LateBound holder(ComPtr<IDispatch>(item.get()));
  EXPECT_EQ(holder.putRef(u"SendUsingAccount", account), S_OK);
  EXPECT_EQ(puts, std::vector<WORD>({DISPATCH_PROPERTYPUTREF}));
  // A host that takes the object only as a value is asked again.
  puts.clear();
  EXPECT_EQ(holder.putRef(u"Subject", account), S_OK);
  EXPECT_EQ(puts, std::vector<WORD>({DISPATCH_PROPERTYPUTREF, DISPATCH_PROPERTYPUT}));
}

}  // namespace
}  // namespace korvanel::win::testing
