// The event bridge driven as Outlook and Office drive it: the handlers are connected through
// the adapters, then the test raises each event on the connection point with DISPPARAMS built
// by hand (arguments last first, [in,out] Booleans by reference).
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "win/outlook/command_bars.h"
#include "win/outlook/event_ids.h"
#include "win/outlook/folder.h"
#include "win/outlook/insp_window.h"
#include "win/outlook/item.h"
#include "win/outlook/outlook_application.h"
#include "win/tests/scripted_object.h"
#include "win/tests/scripted_type_info.h"

namespace korvanel::win::testing {
namespace {

using platform::Connection;
using text::Text;

// Arguments as a source passes them: borrowed, not owned.
VARIANT objectArgument(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

VARIANT booleanReference(VARIANT_BOOL* b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL | VT_BYREF;
  v.pboolVal = b;
  return v;
}

VARIANT variantReference(VARIANT* inner) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_VARIANT | VT_BYREF;
  v.pvarVal = inner;
  return v;
}

VARIANT textArgument(BSTR s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = s;
  return v;
}

// The arguments in rgvarg's order: the last declared first.
DISPPARAMS lastFirst(std::vector<VARIANT>& args) {
  DISPPARAMS params = {};
  params.rgvarg = args.empty() ? nullptr : args.data();
  params.cArgs = static_cast<UINT>(args.size());
  return params;
}

// A mail item that tells its Subject and describes itself as Outlook's _MailItem.
ComPtr<ScriptedObject> mailItem(const wchar_t* subject) {
  ComPtr<ScriptedObject> item = makeComObject<ScriptedObject>();
  item->describe(interfaceTypeInfo(L"_MailItem", outlookGuid(0x00063034)));
  item->member(u"Subject", 0x37, [subject](VARIANT* r) { return returnText(r, subject); });
  return item;
}

class EventBridge : public ::testing::Test {
 protected:
  ComPtr<ScriptedObject> outlook = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& applicationEvents = outlook->events(events::kApplicationEvents11);
  platform::ApplicationPtr application = makeApplication(ComPtr<IDispatch>(outlook.get()));
};

TEST_F(EventBridge, ItemSendGivesTheItemAndWritesCancelBack) {
  Text subject, type;
  bool cancelSeen = true;
  Connection connection = application->onItemSend([&](const platform::ItemPtr& item, bool& cancel) {
    subject = item->subject();
    type = item->typeName();
    cancelSeen = cancel;
    cancel = true;
  });
  ASSERT_TRUE(connection);
  EXPECT_EQ(applicationEvents.sinkCount(), 1u);

  ComPtr<ScriptedObject> item = mailItem(L"Quote for 40 chairs");
  VARIANT_BOOL cancel = VARIANT_FALSE;
  std::vector<VARIANT> args = {booleanReference(&cancel), objectArgument(item.get())};
  DISPPARAMS params = lastFirst(args);
  EXPECT_EQ(applicationEvents.fire(events::kItemSend, params), S_OK);
  EXPECT_EQ(subject, u"Quote for 40 chairs");
  EXPECT_EQ(type, u"MailItem");  // the interface's name without its underscore
  EXPECT_FALSE(cancelSeen);
  EXPECT_EQ(cancel, VARIANT_TRUE);
}

TEST_F(EventBridge, CancelByReferenceThroughAVariantAndLeftAloneWhenUntouched) {
  bool setIt = true;
  Connection connection = application->onItemSend([&](const platform::ItemPtr&, bool& cancel) {
    if (setIt) cancel = true;
  });
  ComPtr<ScriptedObject> item = mailItem(L"RE: Quote");

  // A variant by reference holding the Boolean itself.
  VARIANT inner;
  VariantInit(&inner);
  inner.vt = VT_BOOL;
  inner.boolVal = VARIANT_FALSE;
  std::vector<VARIANT> args = {variantReference(&inner), objectArgument(item.get())};
  DISPPARAMS params = lastFirst(args);
  applicationEvents.fire(events::kItemSend, params);
  EXPECT_EQ(inner.vt, VT_BOOL);
  EXPECT_EQ(inner.boolVal, VARIANT_TRUE);

  // A variant by reference holding a Boolean by reference.
  VARIANT_BOOL cancel = VARIANT_FALSE;
  inner.vt = VT_BOOL | VT_BYREF;
  inner.pboolVal = &cancel;
  applicationEvents.fire(events::kItemSend, params);
  EXPECT_EQ(cancel, VARIANT_TRUE);

  // A handler that leaves Cancel alone keeps what the source passed.
  setIt = false;
  std::vector<VARIANT> direct = {booleanReference(&cancel), objectArgument(item.get())};
  params = lastFirst(direct);
  applicationEvents.fire(events::kItemSend, params);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  cancel = VARIANT_FALSE;
  applicationEvents.fire(events::kItemSend, params);
  EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(EventBridge, UnknownEventsAndWrongArgumentCountsReachNoHandler) {
  int calls = 0;
  Connection connection =
      application->onItemSend([&](const platform::ItemPtr&, bool&) { ++calls; });
  ComPtr<ScriptedObject> item = mailItem(L"x");
  VARIANT_BOOL cancel = VARIANT_FALSE;

  // Reminder (0xF004) and NewMail: events this sink does not handle are answered S_OK.
  std::vector<VARIANT> one = {objectArgument(item.get())};
  DISPPARAMS params = lastFirst(one);
  EXPECT_EQ(applicationEvents.fire(0xF004, params), S_OK);
  std::vector<VARIANT> none;
  params = lastFirst(none);
  EXPECT_EQ(applicationEvents.fire(events::kNewMail, params), S_OK);

  // ItemSend with one, none or three arguments.
  params = lastFirst(one);
  EXPECT_EQ(applicationEvents.fire(events::kItemSend, params), DISP_E_BADPARAMCOUNT);
  params = lastFirst(none);
  EXPECT_EQ(applicationEvents.fire(events::kItemSend, params), DISP_E_BADPARAMCOUNT);
  std::vector<VARIANT> three = {booleanReference(&cancel), objectArgument(item.get()),
                                objectArgument(item.get())};
  params = lastFirst(three);
  EXPECT_EQ(applicationEvents.fire(events::kItemSend, params), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(cancel, VARIANT_FALSE);

  // An argument of the wrong kind gives the platform's empty value, not a failure.
  Text seen = u"not called";
  Connection mail = application->onNewMailEx([&](const Text& ids) { seen = ids; });
  std::vector<VARIANT> number(1);
  VariantInit(&number[0]);
  number[0].vt = VT_I4;
  params = lastFirst(number);
  EXPECT_EQ(applicationEvents.fire(events::kNewMailEx, params), S_OK);
  EXPECT_EQ(seen, u"");
}

TEST_F(EventBridge, AHandlerMayEndItsOwnConnectionAndAnotherOne) {
  std::vector<Text> seen;
  Connection first, second;
  first = application->onNewMailEx([&](const Text& ids) {
    seen.push_back(u"first " + ids);
    first.reset();
    second.reset();
  });
  second = application->onNewMailEx([&](const Text& ids) { seen.push_back(u"second " + ids); });
  EXPECT_EQ(applicationEvents.sinkCount(), 2u);

  BSTR ids = SysAllocString(L"0001,0002");
  std::vector<VARIANT> args = {textArgument(ids)};
  DISPPARAMS params = lastFirst(args);
  // The source calls both sinks it had when the event started: the second, disconnected by
  // the first handler, runs nothing.
  EXPECT_EQ(applicationEvents.fire(events::kNewMailEx, params), S_OK);
  EXPECT_EQ(seen, std::vector<Text>({u"first 0001,0002"}));
  EXPECT_EQ(applicationEvents.sinkCount(), 0u);
  EXPECT_EQ(applicationEvents.fire(events::kNewMailEx, params), S_OK);
  EXPECT_EQ(seen.size(), 1u);
  SysFreeString(ids);
}

TEST_F(EventBridge, AFailingHandlerStaysInside) {
  Connection connection =
      application->onNewMailEx([](const Text&) { throw std::runtime_error("handler"); });
  BSTR ids = SysAllocString(L"0001");
  std::vector<VARIANT> args = {textArgument(ids)};
  DISPPARAMS params = lastFirst(args);
  EXPECT_EQ(applicationEvents.fire(events::kNewMailEx, params), S_OK);
  SysFreeString(ids);
}

TEST_F(EventBridge, EachEventGivesItsArgumentsAsPlatformObjects) {
  // OptionsPagesAdd: the pages object, whose Add gets the ProgID and the title in order.
  ComPtr<ScriptedObject> pages = makeComObject<ScriptedObject>();
  std::vector<Text> added;
  pages->method(u"Add", 0x5F, [&](const DISPPARAMS& p, VARIANT*) {
    for (UINT i = p.cArgs; i-- > 0;) {
      added.push_back(
          Text(p.rgvarg[i].bstrVal, p.rgvarg[i].bstrVal + SysStringLen(p.rgvarg[i].bstrVal)));
    }
    return S_OK;
  });
  Connection options = application->onOptionsPagesAdd([](const platform::PropertyPagesPtr& p) {
    ASSERT_TRUE(p);
    p->add(u"Korvanel.KorvanelPage", u"Korvanel");
  });
  std::vector<VARIANT> args = {objectArgument(pages.get())};
  DISPPARAMS params = lastFirst(args);
  applicationEvents.fire(events::kOptionsPagesAdd, params);
  EXPECT_EQ(added, std::vector<Text>({u"Korvanel.KorvanelPage", u"Korvanel"}));

  // NewInspector: the Inspector, whose Caption is read through it; an object passed as
  // IUnknown is taken too.
  ComPtr<ScriptedObject> inspectors = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& inspectorsEvents = inspectors->events(events::kInspectorsEvents);
  ComPtr<ScriptedObject> window = makeComObject<ScriptedObject>();
  window->member(u"Caption", 0x2100,
                 [](VARIANT* r) { return returnText(r, L"RE: Quote - Message (HTML)"); });
  std::vector<Text> captions;
  Connection newInspector = makeInspectors(ComPtr<IDispatch>(inspectors.get()))
                                ->onNewInspector([&](const platform::InspectorPtr& inspector) {
                                  captions.push_back(inspector ? inspector->caption() : u"none");
                                });
  args = {objectArgument(window.get())};
  params = lastFirst(args);
  inspectorsEvents.fire(events::kNewInspector, params);
  args[0].vt = VT_UNKNOWN;
  args[0].punkVal = static_cast<IDispatch*>(window.get());
  inspectorsEvents.fire(events::kNewInspector, params);
  args[0].vt = VT_EMPTY;
  inspectorsEvents.fire(events::kNewInspector, params);
  EXPECT_EQ(captions, std::vector<Text>(
                          {u"RE: Quote - Message (HTML)", u"RE: Quote - Message (HTML)", u"none"}));

  // ItemAdd and ItemChange of a folder's Items.
  ComPtr<ScriptedObject> items = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& itemsEvents = items->events(events::kItemsEvents);
  platform::ItemsPtr folderItems = makeItems(ComPtr<IDispatch>(items.get()));
  std::vector<Text> arrivals;
  Connection add = folderItems->onItemAdd(
      [&](const platform::ItemPtr& item) { arrivals.push_back(u"add " + item->subject()); });
  Connection change = folderItems->onItemChange(
      [&](const platform::ItemPtr& item) { arrivals.push_back(u"change " + item->subject()); });
  ComPtr<ScriptedObject> item = mailItem(L"Invoice");
  args = {objectArgument(item.get())};
  params = lastFirst(args);
  itemsEvents.fire(events::kItemAdd, params);
  itemsEvents.fire(events::kItemChange, params);
  itemsEvents.fire(0xF003, params);  // ItemRemove: not handled
  EXPECT_EQ(arrivals, std::vector<Text>({u"add Invoice", u"change Invoice"}));
}

TEST_F(EventBridge, WindowItemAndButtonEvents) {
  // An Inspector with only the older InspectorEvents: the same three events through it.
  ComPtr<ScriptedObject> window = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& windowEvents = window->events(events::kInspectorEvents);
  platform::InspectorPtr inspector = makeInspector(ComPtr<IDispatch>(window.get()));
  std::vector<Text> seen;
  Connection activate = inspector->onActivate([&] { seen.push_back(u"activate"); });
  Connection deactivate = inspector->onDeactivate([&] { seen.push_back(u"deactivate"); });
  Connection close = inspector->onClose([&] { seen.push_back(u"close"); });
  std::vector<VARIANT> none;
  DISPPARAMS params = lastFirst(none);
  for (DISPID id :
       {events::kInspectorActivate, events::kInspectorDeactivate, events::kInspectorClose}) {
    windowEvents.fire(id, params);
  }
  EXPECT_EQ(seen, std::vector<Text>({u"activate", u"deactivate", u"close"}));

  // The item's Read, Open and Close, Cancel of Close written back, property changes by name.
  ComPtr<ScriptedObject> mail = mailItem(L"Quote");
  ScriptedConnectionPoint& itemEvents = mail->events(events::kItemEvents10);
  platform::ItemPtr item = makeItem(ComPtr<IDispatch>(mail.get()));
  seen.clear();
  Connection read = item->onRead([&] { seen.push_back(u"read"); });
  Connection open =
      item->onOpen([&](bool& cancel) { seen.push_back(cancel ? u"open cancelled" : u"open"); });
  Connection closing = item->onClose([&](bool& cancel) {
    seen.push_back(u"close");
    cancel = true;
  });
  Connection custom =
      item->onCustomPropertyChange([&](const Text& n) { seen.push_back(u"custom " + n); });
  Connection property =
      item->onPropertyChange([&](const Text& n) { seen.push_back(u"property " + n); });
  itemEvents.fire(events::kItemRead, params);
  VARIANT_BOOL cancel = VARIANT_TRUE;
  std::vector<VARIANT> cancelOnly = {booleanReference(&cancel)};
  params = lastFirst(cancelOnly);
  itemEvents.fire(events::kItemOpen, params);
  cancel = VARIANT_FALSE;
  itemEvents.fire(events::kItemClose, params);
  EXPECT_EQ(cancel, VARIANT_TRUE);
  BSTR name = SysAllocString(L"KorvanelTag1");
  std::vector<VARIANT> named = {textArgument(name)};
  params = lastFirst(named);
  itemEvents.fire(events::kItemCustomPropertyChange, params);
  BSTR subject = SysAllocString(L"Subject");
  named[0].bstrVal = subject;
  itemEvents.fire(events::kItemPropertyChange, params);
  EXPECT_EQ(seen, std::vector<Text>({u"read", u"open cancelled", u"close", u"custom KorvanelTag1",
                                     u"property Subject"}));
  SysFreeString(name);
  SysFreeString(subject);

  // Click of a button: the control clicked (which may be another with the same id) and
  // CancelDefault written back.
  ComPtr<ScriptedObject> button = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& buttonEvents = button->events(events::kCommandBarButtonEvents);
  ComPtr<ScriptedObject> clicked = makeComObject<ScriptedObject>();
  clicked->member(u"Caption", 0x60030000,
                  [](VARIANT* r) { return returnText(r, L"&2 EX MBX [Help Desk]"); });
  Text caption;
  Connection click =
      makeCommandBarControl(ComPtr<IDispatch>(button.get()))
          ->onClick([&](const platform::CommandBarControlPtr& ctrl, bool& cancelDefault) {
            caption = ctrl->caption();
            cancelDefault = true;
          });
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  std::vector<VARIANT> clickArgs = {booleanReference(&cancelDefault),
                                    objectArgument(clicked.get())};
  params = lastFirst(clickArgs);
  EXPECT_EQ(buttonEvents.fire(events::kClick, params), S_OK);
  EXPECT_EQ(caption, u"&2 EX MBX [Help Desk]");
  EXPECT_EQ(cancelDefault, VARIANT_TRUE);
}

TEST_F(EventBridge, EveryAdviseIsUndoneAndEveryReferenceReturned) {
  ComPtr<ScriptedObject> window = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& windowEvents = window->events(events::kInspectorEvents10);
  ComPtr<ScriptedObject> items = makeComObject<ScriptedObject>();
  ScriptedConnectionPoint& itemsEvents = items->events(events::kItemsEvents);
  {
    platform::InspectorPtr inspector = makeInspector(ComPtr<IDispatch>(window.get()));
    platform::ItemsPtr folderItems = makeItems(ComPtr<IDispatch>(items.get()));
    std::vector<Connection> connections;
    connections.push_back(application->onItemSend([](const platform::ItemPtr&, bool&) {}));
    connections.push_back(application->onNewMailEx([](const Text&) {}));
    connections.push_back(application->onOptionsPagesAdd([](const platform::PropertyPagesPtr&) {}));
    connections.push_back(inspector->onActivate([] {}));
    connections.push_back(inspector->onClose([] {}));
    connections.push_back(folderItems->onItemAdd([](const platform::ItemPtr&) {}));
    for (const Connection& c : connections) EXPECT_TRUE(c);
    EXPECT_EQ(applicationEvents.sinkCount(), 3u);
    EXPECT_EQ(windowEvents.sinkCount(), 2u);
    EXPECT_EQ(itemsEvents.sinkCount(), 1u);
    // Events an object does not raise give no connection.
    platform::ItemPtr silent = makeItem(ComPtr<IDispatch>(mailItem(L"x").get()));
    EXPECT_FALSE(silent->onRead([] {}));
  }
  application.reset();
  EXPECT_EQ(applicationEvents.sinkCount(), 0u);
  EXPECT_EQ(windowEvents.sinkCount(), 0u);
  EXPECT_EQ(itemsEvents.sinkCount(), 0u);
  EXPECT_EQ(outlook->references(), 1u);
  EXPECT_EQ(window->references(), 1u);
  EXPECT_EQ(items->references(), 1u);
}

}  // namespace
}  // namespace korvanel::win::testing
