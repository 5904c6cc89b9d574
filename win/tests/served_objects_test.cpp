// The simulated Outlook served through COM, reached as the adapters reach it: members by name
// without regard to case, type information naming Outlook's interfaces, named and missing
// optional arguments, PROPERTYPUTREF, connection points that fire last first with a by-ref
// Cancel, and no served object left alive once every reference is released.
#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include "sim/machine.h"
#include "sim/outlook_app.h"
#include "win/com/bstr.h"
#include "win/com/com_object.h"
#include "win/com/late_bound.h"
#include "win/com/wide.h"
#include "win/outlook/event_ids.h"
#include "win/served/served_outlook.h"
#include "win/served/served_shell.h"
#include "win/served/served_stats.h"
#include "win/system/input_box.h"

namespace korvanel::win::served {
namespace {

ComPtr<IDispatch> object(IDispatch* parent, text::TextView member,
                         std::initializer_list<VARIANT> args = {}) {
  VARIANT result;
  VariantInit(&result);
  const std::span<const VARIANT> span(args.begin(), args.size());
  if (FAILED(getProperty(parent, member, &result, span)) || result.vt != VT_DISPATCH) {
    VariantClear(&result);
    return {};
  }
  return ComPtr<IDispatch>::attach(result.pdispVal);
}

Text text(IDispatch* parent, text::TextView member) {
  VARIANT result;
  VariantInit(&result);
  Text out = u"<failed>";
  if (SUCCEEDED(getProperty(parent, member, &result)) && result.vt == VT_BSTR) {
    out = fromBstr(result.bstrVal);
  }
  VariantClear(&result);
  return out;
}

VARIANT longValue(long n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}

Text interfaceName(IDispatch* object) {
  ComPtr<ITypeInfo> info;
  if (FAILED(object->GetTypeInfo(0, 0, info.put()))) return u"<none>";
  Bstr name;
  info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  return fromBstr(name.get());
}

// A sink that cancels every ItemSend and records the arguments it saw.
class SendBlocker final : public ComObject<IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    if (id != events::kItemSend) return S_OK;
    ++sends;
    // Last first: Cancel, then the item.
    if (params->cArgs == 2 && params->rgvarg[0].vt == (VT_BYREF | VT_BOOL) &&
        params->rgvarg[1].vt == VT_DISPATCH) {
      subject = text(params->rgvarg[1].pdispVal, u"Subject");
      *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    }
    return S_OK;
  }
  int sends = 0;
  Text subject;

 protected:
  void* findInterface(REFIID iid) override {
    return iid == IID_IUnknown || iid == IID_IDispatch || iid == events::kApplicationEvents11
               ? static_cast<IDispatch*>(this)
               : nullptr;
  }
};

class ServedObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::MachineOptions options;
    options.addIns = {};
    machine = std::make_unique<sim::Machine>(options);
    ASSERT_NE(machine->setUpExchangeProfile(sim::OutlookProfileSeed{}), nullptr);
    outlook = machine->startOutlook();
    ASSERT_TRUE(outlook);
    application = serve<ServedApplication>(outlook->application());
  }
  void TearDown() override {
    application.reset();
    EXPECT_EQ(servedStats().liveObjects, 0);
    outlook.reset();
    machine.reset();
  }

  std::unique_ptr<sim::Machine> machine;
  std::shared_ptr<sim::Outlook> outlook;
  ComPtr<IDispatch> application;
};

TEST_F(ServedObjects, MembersAnswerByNameWithOutlooksInterfaceNames) {
  EXPECT_EQ(text(application.get(), u"version"), u"12.0.6423.1000");
  EXPECT_EQ(interfaceName(application.get()), u"_Application");

  VARIANT mapi;
  VariantInit(&mapi);
  mapi.vt = VT_BSTR;
  mapi.bstrVal = SysAllocString(L"MAPI");
  ComPtr<IDispatch> ns = object(application.get(), u"GetNamespace", {mapi});
  VariantClear(&mapi);
  ASSERT_TRUE(ns);
  EXPECT_EQ(interfaceName(ns.get()), u"_NameSpace");
  ComPtr<IDispatch> inbox = object(ns.get(), u"GetDefaultFolder", {longValue(6)});
  ASSERT_TRUE(inbox);
  EXPECT_EQ(text(inbox.get(), u"Name"), u"Inbox");

  sim::IncomingMessage message;
  message.to = {u"Pat Doe <pat@contoso.com>"};
  message.subject = u"Quote";
  const sim::ModelItemPtr received = outlook->receive(message);
  ASSERT_TRUE(received);
  VARIANT entryId;
  VariantInit(&entryId);
  entryId.vt = VT_BSTR;
  entryId.bstrVal = Bstr(received->entryId).detach();
  ComPtr<IDispatch> item = object(ns.get(), u"GetItemFromID", {entryId});
  VariantClear(&entryId);
  ASSERT_TRUE(item);
  EXPECT_EQ(interfaceName(item.get()), u"_MailItem");
  EXPECT_EQ(text(item.get(), u"SUBJECT"), u"Quote");

  // Two objects for one interface give one GUID; another interface another.
  ComPtr<ITypeInfo> a, b;
  ASSERT_EQ(application->GetTypeInfo(0, 0, a.put()), S_OK);
  ASSERT_EQ(ns->GetTypeInfo(0, 0, b.put()), S_OK);
  TYPEATTR *attrA = nullptr, *attrB = nullptr;
  ASSERT_EQ(a->GetTypeAttr(&attrA), S_OK);
  ASSERT_EQ(b->GetTypeAttr(&attrB), S_OK);
  EXPECT_FALSE(IsEqualGUID(attrA->guid, attrB->guid));
  a->ReleaseTypeAttr(attrA);
  b->ReleaseTypeAttr(attrB);

  DISPID unknown = 0;
  EXPECT_EQ(memberId(application.get(), u"NoSuchMember", &unknown), DISP_E_UNKNOWNNAME);
}

TEST_F(ServedObjects, FindControlTakesItsIdByNameOrByPosition) {
  ComPtr<IDispatch> explorer = object(application.get(), u"ActiveExplorer");
  ASSERT_TRUE(explorer);
  ComPtr<IDispatch> bars = object(explorer.get(), u"CommandBars");
  ASSERT_TRUE(bars);

  // By name: FindControl(Id:=522).
  DISPID ids[2] = {};
  std::wstring names[2] = {L"FindControl", L"Id"};
  LPOLESTR namePointers[2] = {names[0].data(), names[1].data()};
  ASSERT_EQ(bars->GetIDsOfNames(IID_NULL, namePointers, 2, 0, ids), S_OK);
  VARIANT id = longValue(522);
  DISPPARAMS params = {&id, &ids[1], 1, 1};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(bars->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
            S_OK);
  ASSERT_EQ(result.vt, VT_DISPATCH);
  ASSERT_NE(result.pdispVal, nullptr);
  VARIANT controlId;
  VariantInit(&controlId);
  EXPECT_EQ(getProperty(result.pdispVal, u"Id", &controlId), S_OK);
  EXPECT_EQ(controlId.lVal, 522);
  VariantClear(&result);

  // By position, Type missing.
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_TRUE(object(bars.get(), u"FindControl", {missing, longValue(522)}));
}

TEST_F(ServedObjects, ItemSendReachesTheSinkLastFirstAndItsCancelHolds) {
  ComPtr<IConnectionPointContainer> container = application.as<IConnectionPointContainer>();
  ASSERT_TRUE(container);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(events::kApplicationEvents11, point.put()), S_OK);
  ComPtr<SendBlocker> sink = makeComObject<SendBlocker>();
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.get()), &cookie), S_OK);

  ComPtr<IDispatch> item = object(application.get(), u"CreateItem", {longValue(0)});
  ASSERT_TRUE(item);
  VARIANT subject;
  VariantInit(&subject);
  subject.vt = VT_BSTR;
  subject.bstrVal = SysAllocString(L"Hello");
  EXPECT_EQ(putProperty(item.get(), u"Subject", subject), S_OK);
  ComPtr<IDispatch> recipients = object(item.get(), u"Recipients");
  ASSERT_TRUE(recipients);
  VARIANT to;
  VariantInit(&to);
  to.vt = VT_BSTR;
  to.bstrVal = SysAllocString(L"Ann <ann@fabrikam.com>");
  EXPECT_TRUE(object(recipients.get(), u"Add", {to}));
  callMethod(item.get(), u"Send", {}, nullptr);
  VariantClear(&subject);
  VariantClear(&to);

  EXPECT_EQ(sink->sends, 1);
  EXPECT_EQ(sink->subject, u"Hello");
  VARIANT sent;
  VariantInit(&sent);
  ASSERT_EQ(getProperty(item.get(), u"Sent", &sent), S_OK);
  EXPECT_EQ(sent.boolVal, VARIANT_FALSE);  // cancelled

  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

}  // namespace
}  // namespace korvanel::win::served

namespace korvanel::win::served {
namespace {

// The served user interface on the real thread: what the DLL types and the boxes it shows
// reach the simulated shell, which records and answers them. Needs a display.
class ServedUserInterface : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::MachineOptions options;
    options.addIns = {};
    machine = std::make_unique<sim::Machine>(options);
    ASSERT_NE(machine->setUpExchangeProfile(sim::OutlookProfileSeed{}), nullptr);
    shell = std::make_unique<ServedShell>(*machine);
    ASSERT_NE(shell->window(), nullptr);
    outlook = machine->startOutlook();
    ASSERT_TRUE(outlook);
  }
  void TearDown() override {
    outlook.reset();
    shell.reset();
    machine.reset();
  }

  static INPUT key(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, 0));
    if (up) input.ki.dwFlags = KEYEVENTF_KEYUP;
    return input;
  }

  std::unique_ptr<sim::Machine> machine;
  std::unique_ptr<ServedShell> shell;
  std::shared_ptr<sim::Outlook> outlook;
};

TEST_F(ServedUserInterface, KeysTypedIntoOutlooksWindowReachTheSimulatedKeyboard) {
  INPUT keys[] = {key(VK_MENU, false), key('N', false),    key('N', true),       key(VK_MENU, true),
                  key('2', false),     key('2', true),     key(VK_SHIFT, false), key(VK_TAB, false),
                  key(VK_TAB, true),   key(VK_SHIFT, true)};
  ASSERT_EQ(SendInput(10, keys, sizeof(INPUT)), 10u);
  outlook->pump();  // Outlook processes its window messages first
  std::vector<Text> typed;
  for (const sim::KeysRecord& k : machine->shell().keys()) typed.push_back(k.keys);
  EXPECT_EQ(typed, (std::vector<Text>{u"%n", u"2", u"+{TAB}"}));
}

TEST_F(ServedUserInterface, AMessageBoxIsAnsweredFromTheScriptAndRecorded) {
  machine->shell().answerMessageBox(platform::kIdYes);
  const int answer = MessageBoxW(GetActiveWindow(), L"Restart Outlook now?", L"Korvanel",
                                 MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
  EXPECT_EQ(answer, IDYES);
  ASSERT_EQ(machine->shell().dialogs().size(), 1u);
  const sim::DialogRecord& box = machine->shell().dialogs()[0];
  EXPECT_EQ(box.text, u"Restart Outlook now?");
  EXPECT_EQ(box.title, u"Korvanel");
  EXPECT_EQ(box.style, 308);
  EXPECT_TRUE(box.scripted);

  // Unscripted: the default button, recorded as such.
  EXPECT_EQ(MessageBoxW(GetActiveWindow(), L"Done.", L"Korvanel", MB_OK | MB_ICONINFORMATION),
            IDOK);
  ASSERT_EQ(machine->shell().dialogs().size(), 2u);
  EXPECT_EQ(machine->shell().dialogs()[1].style, 64);
  EXPECT_FALSE(machine->shell().dialogs()[1].scripted);
}

TEST_F(ServedUserInterface, TheInputBoxIsAnsweredFromTheScriptAndRecorded) {
  machine->shell().answerInputBox(u"Support <support@contoso.com>");
  EXPECT_EQ(showInputBox(GetActiveWindow(), u"Enter the address:", u"Korvanel", u"Name <a@b>"),
            std::optional<Text>(u"Support <support@contoso.com>"));
  // Unscripted: Cancel.
  EXPECT_EQ(showInputBox(GetActiveWindow(), u"Enter the address:", u"Korvanel", u""), std::nullopt);
  ASSERT_EQ(machine->shell().dialogs().size(), 2u);
  const sim::DialogRecord& box = machine->shell().dialogs()[0];
  EXPECT_EQ(box.kind, sim::DialogRecord::Kind::kInputBox);
  EXPECT_EQ(box.text, u"Enter the address:");
  EXPECT_EQ(box.offered, u"Name <a@b>");
  EXPECT_FALSE(machine->shell().dialogs()[1].scripted);
}

TEST_F(ServedUserInterface, OutlooksQueuedEventsRunFromTheWindowsMessageLoop) {
  bool ran = false;
  outlook->queue().post([&ran] { ran = true; });
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace korvanel::win::served
