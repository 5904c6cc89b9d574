// The Outlook, Office and Word adapters over scripted objects: the calls they make (names,
// arguments, missing optional arguments, Set by reference) and the empty values they give
// when Outlook fails.
#include <gtest/gtest.h>

#include <vector>

#include "win/com/variant_conversion.h"
#include "win/messaging/win_mapi.h"
#include "win/outlook/command_bars.h"
#include "win/outlook/folder.h"
#include "win/outlook/insp_window.h"
#include "win/outlook/item.h"
#include "win/outlook/outlook_application.h"
#include "win/outlook/outlook_namespace.h"
#include "win/outlook/property_accessor.h"
#include "win/tests/scripted_object.h"
#include "win/tests/scripted_type_info.h"

namespace korvanel::win::testing {
namespace {

using text::Text;

Text textOf(const VARIANT& v) {
  return v.vt == VT_BSTR ? Text(v.bstrVal, v.bstrVal + SysStringLen(v.bstrVal)) : u"<not text>";
}

bool isMissing(const VARIANT& v) { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

ComPtr<ScriptedObject> scripted() { return makeComObject<ScriptedObject>(); }

TEST(OutlookAdapters, FindControlGivesTheIdAndLeavesTypeTagAndVisibleOut) {
  ComPtr<ScriptedObject> bars = scripted();
  ComPtr<ScriptedObject> dropDown = scripted();
  ComPtr<ScriptedObject> entries = scripted();
  ComPtr<ScriptedObject> entry = scripted();
  std::vector<int> findCalls;
  bars->method(u"FindControl", 0x60030011, [&](const DISPPARAMS& p, VARIANT* r) {
    // FindControl(Type, Id, Tag, Visible), last first.
    if (p.cArgs != 4 || !isMissing(p.rgvarg[3]) || p.rgvarg[2].vt != VT_I4 ||
        !isMissing(p.rgvarg[1]) || !isMissing(p.rgvarg[0])) {
      return DISP_E_TYPEMISMATCH;
    }
    findCalls.push_back(p.rgvarg[2].lVal);
    return p.rgvarg[2].lVal == 31224 ? returnObject(r, dropDown.get()) : returnObject(r, nullptr);
  });
  dropDown->member(u"Id", 0x60030001, [](VARIANT* r) { return returnLong(r, 31224); });
  dropDown->member(u"Controls", 0x60040000,
                   [&](VARIANT* r) { return returnObject(r, entries.get()); });
  entries->member(u"Count", 0x60030000, [](VARIANT* r) { return returnLong(r, 3); });
  entries->method(u"Item", 0, [&](const DISPPARAMS& p, VARIANT* r) {
    return p.cArgs == 1 && p.rgvarg[0].vt == VT_I4 && p.rgvarg[0].lVal == 2
               ? returnObject(r, entry.get())
               : DISP_E_BADINDEX;
  });
  entry->member(u"Caption", 0x60030002,
                [](VARIANT* r) { return returnText(r, L"&2 EX [Sales <sales@contoso.com>]"); });
  entry->method(u"Execute", 0x60030003, [](const DISPPARAMS& p, VARIANT*) {
    return p.cArgs == 0 ? S_OK : DISP_E_BADPARAMCOUNT;
  });

  platform::CommandBarsPtr commandBars = makeCommandBars(ComPtr<IDispatch>(bars.get()));
  platform::CommandBarControlPtr control = commandBars->findControl(31224);
  ASSERT_TRUE(control);
  EXPECT_EQ(control->id(), 31224);
  EXPECT_EQ(commandBars->findControl(522), nullptr);  // Nothing found
  EXPECT_EQ(findCalls, std::vector<int>({31224, 522}));
  platform::CommandBarControlsPtr controls = control->controls();
  ASSERT_TRUE(controls);
  EXPECT_EQ(controls->count(), 3);
  EXPECT_EQ(controls->item(4), nullptr);
  platform::CommandBarControlPtr second = controls->item(2);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->caption(), u"&2 EX [Sales <sales@contoso.com>]");
  EXPECT_TRUE(second->execute());
  EXPECT_EQ(second->controls(), nullptr);  // a button has none
}

TEST(OutlookAdapters, SendUsingAccountIsSetByReferenceToOutlooksOwnAccount) {
  ComPtr<ScriptedObject> mail = scripted();
  ComPtr<ScriptedObject> accounts = scripted();
  ComPtr<ScriptedObject> account = scripted();
  ComPtr<IDispatch> current;
  std::vector<WORD> flags;
  accounts->method(u"Item", 0,
                   [&](const DISPPARAMS&, VARIANT* r) { return returnObject(r, account.get()); });
  account->member(u"DisplayName", 0x2100,
                  [](VARIANT* r) { return returnText(r, L"EX [Sales <sales@contoso.com>]"); });
  mail->member(
      u"SendUsingAccount", 0xFAD1, [&](VARIANT* r) { return returnObject(r, current.get()); },
      [&](WORD f, const VARIANT& v) {
        flags.push_back(f);
        if (!(f & DISPATCH_PROPERTYPUTREF) || v.vt != VT_DISPATCH) return DISP_E_MEMBERNOTFOUND;
        current = ComPtr<IDispatch>(v.pdispVal);
        return S_OK;
      });

  platform::ItemPtr item = makeItem(ComPtr<IDispatch>(mail.get()));
  EXPECT_EQ(item->sendUsingAccount(), nullptr);  // Nothing yet
  ASSERT_TRUE(item->setSendUsingAccount(nullptr));
  EXPECT_EQ(current.get(), nullptr);
  ComPtr<ScriptedObject> namespaceObject = scripted();
  namespaceObject->member(u"Accounts", 0xFAC9,
                          [&](VARIANT* r) { return returnObject(r, accounts.get()); });
  platform::AccountPtr chosen =
      makeNameSpace(ComPtr<IDispatch>(namespaceObject.get()))->accounts()->item(2);
  ASSERT_TRUE(chosen);
  EXPECT_TRUE(item->setSendUsingAccount(chosen));
  EXPECT_EQ(current.get(), static_cast<IDispatch*>(account.get()));
  EXPECT_EQ(flags, std::vector<WORD>({DISPATCH_PROPERTYPUTREF, DISPATCH_PROPERTYPUTREF}));
  platform::AccountPtr read = item->sendUsingAccount();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->displayName(), u"EX [Sales <sales@contoso.com>]");
}

// GetProperties and SetProperties take arrays of variants (arguments arrive last first);
// Outlook answers an error value for a property the item lacks, and SetProperties answers
// Null when everything was written, an error or an array of errors when not.
TEST(OutlookAdapters, SeveralPropertiesTravelAsArraysOfVariants) {
  ComPtr<ScriptedObject> object = scripted();
  std::vector<VARTYPE> argumentTypes;
  std::vector<platform::Variant> names;
  object->method(u"GetProperties", 0xFB00, [&](const DISPPARAMS& p, VARIANT* r) {
    argumentTypes = {p.rgvarg[0].vt};
    names = fromVariantArray(p.rgvarg[0]).value_or(std::vector<platform::Variant>{});
    toVariantArray({platform::Variant(u"headers"), platform::Variant()}, r,
                   static_cast<SCODE>(0x8004010F));
    return S_OK;
  });
  HRESULT setResult = S_OK;
  VARTYPE setAnswer = VT_NULL;
  std::vector<platform::Variant> written;
  object->method(u"SetProperties", 0xFB01, [&](const DISPPARAMS& p, VARIANT* r) {
    argumentTypes = {p.rgvarg[1].vt, p.rgvarg[0].vt};
    names = fromVariantArray(p.rgvarg[1]).value_or(std::vector<platform::Variant>{});
    written = fromVariantArray(p.rgvarg[0]).value_or(std::vector<platform::Variant>{});
    if (setAnswer == VT_ERROR) {
      r->vt = VT_ERROR;
      r->scode = E_FAIL;
    } else if (setAnswer == (VT_ARRAY | VT_VARIANT)) {
      toVariantArray({platform::Variant(), platform::Variant()}, r, E_ACCESSDENIED);
    } else {
      r->vt = setAnswer;
    }
    return setResult;
  });
  const platform::PropertyAccessorPtr accessor =
      makePropertyAccessor(ComPtr<IDispatch>(object.get()));
  ASSERT_TRUE(accessor);

  const std::vector<platform::Variant> read = accessor->getProperties({u"a", u"b"});
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].toText(), u"headers");
  EXPECT_TRUE(read[1].isEmpty());
  EXPECT_EQ(argumentTypes, std::vector<VARTYPE>{VT_ARRAY | VT_VARIANT});
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1].toText(), u"b");
  // An answer of another length is no answer.
  EXPECT_TRUE(accessor->getProperties({u"a"}).empty());

  EXPECT_TRUE(
      accessor->setProperties({u"a", u"b"}, {platform::Variant(u"x"), platform::Variant(7)}));
  EXPECT_EQ(argumentTypes, std::vector<VARTYPE>({VT_ARRAY | VT_VARIANT, VT_ARRAY | VT_VARIANT}));
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[1].toLong(), 7);
  EXPECT_FALSE(accessor->setProperties({u"a"}, {}));
  for (const VARTYPE answer :
       {static_cast<VARTYPE>(VT_ERROR), static_cast<VARTYPE>(VT_ARRAY | VT_VARIANT)}) {
    setAnswer = answer;
    EXPECT_FALSE(
        accessor->setProperties({u"a", u"b"}, {platform::Variant(u"x"), platform::Variant(u"y")}));
  }
  setAnswer = VT_EMPTY;
  setResult = E_FAIL;
  EXPECT_FALSE(accessor->setProperties({u"a"}, {platform::Variant(u"x")}));
}

TEST(OutlookAdapters, AStoresTopFolderHasNoParentFolder) {
  ComPtr<ScriptedObject> session = scripted();
  ComPtr<ScriptedObject> top = scripted();
  ComPtr<ScriptedObject> inbox = scripted();
  session->member(u"Class", 0xF00A, [](VARIANT* r) { return returnLong(r, 1); });  // olNamespace
  for (ScriptedObject* f : {top.get(), inbox.get()}) {
    f->member(u"Class", 0xF00A, [](VARIANT* r) { return returnLong(r, 2); });  // olFolder
  }
  top->member(u"Parent", 0xF001, [&](VARIANT* r) { return returnObject(r, session.get()); });
  top->member(u"Name", 0x3001, [](VARIANT* r) { return returnText(r, L"Mailbox - Pat Doe"); });
  inbox->member(u"Parent", 0xF001, [&](VARIANT* r) { return returnObject(r, top.get()); });

  platform::FolderPtr folder = makeFolder(ComPtr<IDispatch>(inbox.get()));
  platform::FolderPtr parent = folder->parent();
  ASSERT_TRUE(parent);
  EXPECT_EQ(parent->name(), u"Mailbox - Pat Doe");
  EXPECT_EQ(parent->parent(), nullptr);
}

TEST(OutlookAdapters, ItemsByEntryIdLeaveAnEmptyStoreIdOut) {
  ComPtr<ScriptedObject> session = scripted();
  ComPtr<ScriptedObject> mail = scripted();
  std::vector<std::vector<Text>> calls;
  session->method(u"GetItemFromID", 0x2109, [&](const DISPPARAMS& p, VARIANT* r) {
    std::vector<Text> args;
    for (UINT i = p.cArgs; i-- > 0;) args.push_back(textOf(p.rgvarg[i]));
    calls.push_back(args);
    return args[0] == u"0001" ? returnObject(r, mail.get()) : E_FAIL;  // MAPI_E_NOT_FOUND
  });
  platform::NameSpacePtr names = makeNameSpace(ComPtr<IDispatch>(session.get()));
  EXPECT_TRUE(names->getItemFromID(u"0001"));
  EXPECT_TRUE(names->getItemFromID(u"0001", u"STORE"));
  EXPECT_EQ(names->getItemFromID(u"0002"), nullptr);
  EXPECT_EQ(calls, std::vector<std::vector<Text>>({{u"0001"}, {u"0001", u"STORE"}, {u"0002"}}));
}

TEST(OutlookAdapters, FailingMembersGiveEmptyValues) {
  // An item that fails every member, as a removed item does, and one without type information.
  ComPtr<ScriptedObject> broken = scripted();
  broken->member(
      u"Subject", 0x37, [](VARIANT*) { return E_FAIL; },
      [](WORD, const VARIANT&) { return E_FAIL; });
  platform::ItemPtr item = makeItem(ComPtr<IDispatch>(broken.get()));
  EXPECT_EQ(item->typeName(), u"");
  EXPECT_EQ(item->itemClass(), 0);
  EXPECT_EQ(item->subject(), u"");
  EXPECT_FALSE(item->setSubject(u"x"));
  EXPECT_EQ(item->entryId(), u"");
  EXPECT_FALSE(item->sent());
  EXPECT_EQ(item->propertyAccessor(), nullptr);
  EXPECT_EQ(item->recipients(), nullptr);
  EXPECT_EQ(item->parent(), nullptr);
  EXPECT_EQ(item->mapiObject(), nullptr);
  EXPECT_EQ(item->getInspector(), nullptr);
  EXPECT_EQ(item->move(nullptr), nullptr);
  EXPECT_FALSE(item->save());
  EXPECT_FALSE(item->close(platform::kOlDiscard));
  EXPECT_FALSE(item->onRead([] {}));  // no connection points at all
  EXPECT_EQ(makeItem(nullptr), nullptr);
  EXPECT_EQ(makeApplication(nullptr), nullptr);

  platform::ApplicationPtr application = makeApplication(ComPtr<IDispatch>(broken.get()));
  EXPECT_EQ(application->version(), u"");
  EXPECT_EQ(application->getNamespace(u"MAPI"), nullptr);
  EXPECT_EQ(application->activeInspector(), nullptr);
  EXPECT_EQ(application->languageId(platform::kMsoLanguageIdUi), 0);
  application->quit();
}

TEST(OutlookAdapters, TheItemsMapiObjectAndWordEditor) {
  ComPtr<ScriptedObject> mail = scripted();
  ComPtr<ScriptedObject> message = scripted();  // stands for the message's IMAPIProp
  mail->member(u"MAPIOBJECT", 0xF100, [&](VARIANT* r) {
    r->vt = VT_UNKNOWN;
    r->punkVal = static_cast<IDispatch*>(message.get());
    r->punkVal->AddRef();
    return S_OK;
  });
  platform::MapiObjectPtr mapi = makeItem(ComPtr<IDispatch>(mail.get()))->mapiObject();
  auto* com = dynamic_cast<MapiComObject*>(mapi.get());
  ASSERT_NE(com, nullptr);
  EXPECT_EQ(com->get(), static_cast<IUnknown*>(static_cast<IDispatch*>(message.get())));

  // Word's document: its Application's CustomizationContext.Saved and Windows.Count.
  ComPtr<ScriptedObject> window = scripted();
  ComPtr<ScriptedObject> document = scripted();
  ComPtr<ScriptedObject> word = scripted();
  ComPtr<ScriptedObject> normal = scripted();
  ComPtr<ScriptedObject> windows = scripted();
  bool saved = false;
  window->method(u"IsWordMail", 0xF104, [](const DISPPARAMS&, VARIANT* r) {
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_TRUE;
    return S_OK;
  });
  window->member(u"WordEditor", 0xF106,
                 [&](VARIANT* r) { return returnObject(r, document.get()); });
  document->member(u"Application", 0x3E8, [&](VARIANT* r) { return returnObject(r, word.get()); });
  word->member(u"CustomizationContext", 0x19E,
               [&](VARIANT* r) { return returnObject(r, normal.get()); });
  word->member(u"Windows", 0x2, [&](VARIANT* r) { return returnObject(r, windows.get()); });
  normal->member(u"Saved", 0x4, nullptr, [&](WORD, const VARIANT& v) {
    saved = v.vt == VT_BOOL && v.boolVal == VARIANT_TRUE;
    return S_OK;
  });
  windows->member(u"Count", 0x2, [](VARIANT* r) { return returnLong(r, 2); });

  platform::InspectorPtr inspector = makeInspector(ComPtr<IDispatch>(window.get()));
  EXPECT_TRUE(inspector->isWordMail());
  platform::WordDocumentPtr editor = inspector->wordEditor();
  ASSERT_TRUE(editor);
  platform::WordApplicationPtr application = editor->application();
  ASSERT_TRUE(application);
  EXPECT_TRUE(application->setCustomizationContextSaved(true));
  EXPECT_TRUE(saved);
  EXPECT_EQ(application->windowsCount(), 2);
  EXPECT_EQ(editor->parent(), nullptr);  // this document has no Parent member
}

}  // namespace
}  // namespace korvanel::win::testing
