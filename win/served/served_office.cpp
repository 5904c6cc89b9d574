// Office's COM add-ins, Outlook's property pages, Office command bars and Word as the mail
// editor, served.
#include "win/com/dispatch_adapter.h"
#include "win/outlook/event_ids.h"
#include "win/served/served_outlook.h"

namespace korvanel::win::served {

namespace {

HRESULT done(Call& c, bool ok) { return ok ? c.returnsNothing() : Call::failed(); }

// COMAddIn.Object: the object the add-in published, as the COM object it came as.
HRESULT publishedObject(ServedComAddIn& s, Call& c) {
  const platform::DispatchPtr published = s.object->object();
  if (auto* adapter = dynamic_cast<DispatchAdapter*>(published.get())) {
    return c.returns(ComPtr<IDispatch>(adapter->comObject()));
  }
  return c.returns(ComPtr<IDispatch>());
}

HRESULT publish(ServedComAddIn& s, Call& c) {
  ComPtr<IDispatch> object = c.valueAsObject();
  platform::DispatchPtr published;
  if (object) published = std::make_shared<DispatchAdapter>(object);
  return done(c, s.object->setObject(published));
}

}  // namespace

const MemberTable& ServedComAddIns::table() const {
  using S = ServedComAddIns;
  static const MemberTable t =
      Members<S>(u"COMAddIns", u"Office")
          .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](S& s, Call& c) {
                ComPtr<IDispatch> found = serve<ServedComAddIn>(s.object->item(c.textArg(0)));
                return found ? c.returns(found) : Call::failed();
              },
              DISPID_VALUE)
          .build();
  return t;
}

const MemberTable& ServedComAddIn::table() const {
  using S = ServedComAddIn;
  static const MemberTable t =
      Members<S>(u"COMAddIn", u"Office")
          .get(u"ProgId", [](S& s, Call& c) { return c.returns(s.object->progId()); })
          .getPut(u"Object", publishedObject, publish, 7)
          .getPut(
              u"Connect", [](S& s, Call& c) { return c.returnsBool(s.object->connect()); },
              [](S& s, Call& c) {
                return done(c, s.object->setConnect(c.valueAsVariant().toBool()));
              },
              6)
          .build();
  return t;
}

const MemberTable& ServedPropertyPages::table() const {
  using S = ServedPropertyPages;
  static const MemberTable t =
      Members<S>(u"PropertyPages")
          .method(
              u"Add", {u"Page", u"Title"},
              [](S& s, Call& c) { return done(c, s.object->add(c.textArg(0), c.textArg(1))); },
              0x5F)
          .build();
  return t;
}

const MemberTable& ServedCommandBars::table() const {
  using S = ServedCommandBars;
  static const MemberTable t =
      Members<S>(u"_CommandBars", u"Office")
          .method(u"FindControl", {u"Type", u"Id", u"Tag", u"Visible"},
                  [](S& s, Call& c) {
                    // Only the search by Id is simulated.
                    if (!c.has(1)) return c.returns(ComPtr<IDispatch>());
                    return c.returns(
                        serve<ServedCommandBarControl>(s.object->findControl(c.longArg(1))));
                  })
          .method(
              u"Item", {u"Index"},
              [](S& s, Call& c) {
                ComPtr<IDispatch> bar = serve<ServedCommandBar>(s.object->item(c.textArg(0)));
                return bar ? c.returns(bar) : static_cast<HRESULT>(E_INVALIDARG);
              },
              DISPID_VALUE)
          .build();
  return t;
}

const MemberTable& ServedCommandBar::table() const {
  using S = ServedCommandBar;
  static const MemberTable t =
      Members<S>(u"CommandBar", u"Office")
          .get(u"Name", [](S& s, Call& c) { return c.returns(s.object->name()); })
          .method(u"Reset", {}, [](S& s, Call& c) { return done(c, s.object->reset()); })
          .build();
  return t;
}

const MemberTable& ServedCommandBarControl::table() const {
  using S = ServedCommandBarControl;
  static const MemberTable t =
      Members<S>(u"CommandBarControl", u"Office")
          .get(u"Id", [](S& s, Call& c) { return c.returns(s.object->id()); })
          .get(u"Caption", [](S& s, Call& c) { return c.returns(s.object->caption()); })
          .method(u"Execute", {}, [](S& s, Call& c) { return done(c, s.object->execute()); })
          .get(u"Controls",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedCommandBarControls>(s.object->controls()));
               })
          .events(
              events::kCommandBarButtonEvents,
              [](S& s, EventPoint& point) {
                std::vector<platform::Connection> c;
                c.push_back(s.object->onClick(
                    [&point](const platform::CommandBarControlPtr& ctrl, bool& cancelDefault) {
                      EventArgs args;
                      args.object(serve<ServedCommandBarControl>(ctrl)).inOutBool(cancelDefault);
                      args.fire(point, events::kClick);
                      cancelDefault = args.flag(0);
                    }));
                return c;
              })
          .build();
  return t;
}

const MemberTable& ServedCommandBarControls::table() const {
  using S = ServedCommandBarControls;
  static const MemberTable t =
      Members<S>(u"CommandBarControls", u"Office")
          .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](S& s, Call& c) {
                return c.returns(serve<ServedCommandBarControl>(s.object->item(c.longArg(0))));
              },
              DISPID_VALUE)
          .build();
  return t;
}

const MemberTable& ServedWordDocument::table() const {
  using S = ServedWordDocument;
  static const MemberTable t =
      Members<S>(u"_Document", u"Word")
          .get(u"Application",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedWordApplication>(s.object->application()));
               })
          .get(u"Parent",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedWordApplication>(s.object->parent()));
               })
          .method(u"Close", {u"SaveChanges", u"OriginalFormat", u"RouteDocument"},
                  [](S& s, Call& c) {
                    return done(c, s.object->close(c.longArg(0, platform::kWdDoNotSaveChanges)));
                  })
          .build();
  return t;
}

const MemberTable& ServedWordApplication::table() const {
  using S = ServedWordApplication;
  static const MemberTable t =
      Members<S>(u"_Application", u"Word")
          .get(u"CustomizationContext",
               [](S& s, Call& c) { return c.returns(serve<ServedWordTemplate>(s.object)); })
          .get(u"Windows",
               [](S& s, Call& c) { return c.returns(serve<ServedWordWindows>(s.object)); })
          .method(u"Quit", {u"SaveChanges", u"OriginalFormat", u"RouteDocument"},
                  [](S& s, Call& c) {
                    return done(c, s.object->quit(c.longArg(0, platform::kWdDoNotSaveChanges)));
                  })
          .build();
  return t;
}

// CustomizationContext: the Normal template, of which only Saved is used.
const MemberTable& ServedWordTemplate::table() const {
  using S = ServedWordTemplate;
  static const MemberTable t =
      Members<S>(u"Template", u"Word")
          .getPut(
              u"Saved", [](S&, Call& c) { return c.returnsBool(true); },
              [](S& s, Call& c) {
                return done(c, s.object->setCustomizationContextSaved(c.valueAsVariant().toBool()));
              })
          .build();
  return t;
}

const MemberTable& ServedWordWindows::table() const {
  using S = ServedWordWindows;
  static const MemberTable t =
      Members<S>(u"Windows", u"Word")
          .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->windowsCount()); })
          .build();
  return t;
}

}  // namespace korvanel::win::served
