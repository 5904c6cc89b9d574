// Outlook's Application, NameSpace, windows, folders and stores, served.
#include "win/served/served_outlook.h"

#include "win/outlook/event_ids.h"

namespace korvanel::win::served {

namespace {

// A collection's Count and Item(Index) over its platform count() and item(long).
template <class S, class ItemServed>
Members<S>& countAndItem(Members<S>& m) {
  return m.get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
      .method(
          u"Item", {u"Index"},
          [](S& s, Call& c) { return c.returns(serve<ItemServed>(s.object->item(c.longArg(0)))); },
          DISPID_VALUE);
}

}  // namespace

const MemberTable& ServedApplication::table() const {
  using S = ServedApplication;
  static const MemberTable t =
      Members<S>(u"_Application")
          .get(u"Class", [](S&, Call& c) { return c.returns(0L); })
          .get(u"Name", [](S&, Call& c) { return c.returns(u"Outlook"); })
          .get(u"Version", [](S& s, Call& c) { return c.returns(s.object->version()); })
          .method(u"GetNamespace", {u"Type"},
                  [](S& s, Call& c) {
                    return c.returns(serve<ServedNameSpace>(s.object->getNamespace(c.textArg(0))));
                  })
          .get(u"Session",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedNameSpace>(s.object->getNamespace(u"MAPI")));
               })
          .get(u"Explorers",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedExplorers>(s.object->explorers()));
               })
          .get(u"Inspectors",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedInspectors>(s.object->inspectors()));
               })
          .method(u"ActiveExplorer", {},
                  [](S& s, Call& c) {
                    return c.returns(serve<ServedExplorer>(s.object->activeExplorer()));
                  })
          .method(u"ActiveInspector", {},
                  [](S& s, Call& c) {
                    return c.returns(serve<ServedInspector>(s.object->activeInspector()));
                  })
          .method(u"CreateItem", {u"ItemType"},
                  [](S& s, Call& c) {
                    return c.returns(serveItem(s.object->createItem(c.longArg(0))));
                  })
          .get(u"LanguageSettings",
               [](S& s, Call& c) { return c.returns(serve<ServedLanguageSettings>(s.object)); })
          .get(u"COMAddIns",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedComAddIns>(s.object->comAddIns()));
               })
          .method(u"Quit", {},
                  [](S& s, Call& c) {
                    s.object->quit();
                    return c.returnsNothing();
                  })
          .events(events::kApplicationEvents11,
                  [](S& s, EventPoint& point) {
                    std::vector<platform::Connection> c;
                    c.push_back(
                        s.object->onItemSend([&point](const platform::ItemPtr& item, bool& cancel) {
                          EventArgs args;
                          args.object(serveItem(item)).inOutBool(cancel);
                          args.fire(point, events::kItemSend);
                          cancel = args.flag(0);
                        }));
                    c.push_back(s.object->onNewMailEx([&point](const Text& ids) {
                      EventArgs args;
                      args.text(ids);
                      args.fire(point, events::kNewMailEx);
                    }));
                    c.push_back(s.object->onOptionsPagesAdd(
                        [&point](const platform::PropertyPagesPtr& pages) {
                          EventArgs args;
                          args.object(serve<ServedPropertyPages>(pages));
                          args.fire(point, events::kOptionsPagesAdd);
                        }));
                    return c;
                  })
          .build();
  return t;
}

const MemberTable& ServedLanguageSettings::table() const {
  using S = ServedLanguageSettings;
  static const MemberTable t =
      Members<S>(u"LanguageSettings", u"Office")
          .method(u"LanguageID", {u"Id"},
                  [](S& s, Call& c) { return c.returns(s.object->languageId(c.longArg(0))); })
          .build();
  return t;
}

const MemberTable& ServedNameSpace::table() const {
  using S = ServedNameSpace;
  static const MemberTable t =
      Members<S>(u"_NameSpace")
          .get(u"Type", [](S&, Call& c) { return c.returns(u"MAPI"); })
          .get(u"CurrentProfileName",
               [](S& s, Call& c) { return c.returns(s.object->currentProfileName()); })
          .get(u"CurrentUser",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedRecipient>(s.object->currentUser()));
               })
          .method(u"GetDefaultFolder", {u"FolderType"},
                  [](S& s, Call& c) {
                    return c.returns(serve<ServedFolder>(s.object->getDefaultFolder(c.longArg(0))));
                  })
          .method(u"GetFolderFromID", {u"EntryIDFolder", u"EntryIDStore"},
                  [](S& s, Call& c) {
                    return c.returns(
                        serve<ServedFolder>(s.object->getFolderFromID(c.textArg(0), c.textArg(1))));
                  })
          .method(
              u"GetItemFromID", {u"EntryIDItem", u"EntryIDStore"},
              [](S& s, Call& c) {
                return c.returns(serveItem(s.object->getItemFromID(c.textArg(0), c.textArg(1))));
              })
          .method(u"GetStoreFromID", {u"ID"},
                  [](S& s, Call& c) {
                    return c.returns(serve<ServedStore>(s.object->getStoreFromID(c.textArg(0))));
                  })
          .get(u"Folders",
               [](S& s, Call& c) { return c.returns(serve<ServedFolders>(s.object->folders())); })
          .method(
              u"PickFolder", {},
              [](S& s, Call& c) { return c.returns(serve<ServedFolder>(s.object->pickFolder())); })
          .get(u"Accounts",
               [](S& s, Call& c) { return c.returns(serve<ServedAccounts>(s.object->accounts())); })
          .build();
  return t;
}

const MemberTable& ServedExplorers::table() const {
  using S = ServedExplorers;
  static const MemberTable t = [] {
    Members<S> m(u"_Explorers");
    return countAndItem<S, ServedExplorer>(m).build();
  }();
  return t;
}

const MemberTable& ServedExplorer::table() const {
  using S = ServedExplorer;
  static const MemberTable t =
      Members<S>(u"_Explorer")
          .get(u"CurrentFolder",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedFolder>(s.object->currentFolder()));
               })
          .get(u"Selection",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedSelection>(s.object->selection()));
               })
          .get(u"CommandBars",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedCommandBars>(s.object->commandBars()));
               })
          .build();
  return t;
}

const MemberTable& ServedSelection::table() const {
  using S = ServedSelection;
  static const MemberTable t =
      Members<S>(u"Selection")
          .get(u"Count", [](S& s, Call& c) { return c.returns(s.object->count()); })
          .method(
              u"Item", {u"Index"},
              [](S& s, Call& c) { return c.returns(serveItem(s.object->item(c.longArg(0)))); },
              DISPID_VALUE)
          .build();
  return t;
}

const MemberTable& ServedInspectors::table() const {
  using S = ServedInspectors;
  static const MemberTable t = [] {
    Members<S> m(u"_Inspectors");
    countAndItem<S, ServedInspector>(m).events(events::kInspectorsEvents, [](S& s, EventPoint& point) {
      std::vector<platform::Connection> c;
      c.push_back(s.object->onNewInspector([&point](const platform::InspectorPtr& inspector) {
        EventArgs args;
        args.object(serve<ServedInspector>(inspector));
        args.fire(point, events::kNewInspector);
      }));
      return c;
    });
    return m.build();
  }();
  return t;
}

namespace {

std::vector<platform::Connection> inspectorEvents(ServedInspector& s, EventPoint& point) {
  std::vector<platform::Connection> c;
  c.push_back(s.object->onActivate([&point] {
    EventArgs args;
    args.fire(point, events::kInspectorActivate);
  }));
  c.push_back(s.object->onDeactivate([&point] {
    EventArgs args;
    args.fire(point, events::kInspectorDeactivate);
  }));
  c.push_back(s.object->onClose([&point] {
    EventArgs args;
    args.fire(point, events::kInspectorClose);
  }));
  return c;
}

}  // namespace

const MemberTable& ServedInspector::table() const {
  using S = ServedInspector;
  static const MemberTable t =
      Members<S>(u"_Inspector")
          .get(u"Class", [](S&, Call& c) { return c.returns(35L); })
          .get(u"CurrentItem",
               [](S& s, Call& c) { return c.returns(serveItem(s.object->currentItem())); })
          .get(u"Caption", [](S& s, Call& c) { return c.returns(s.object->caption()); })
          .method(u"IsWordMail", {},
                  [](S& s, Call& c) { return c.returnsBool(s.object->isWordMail()); })
          .get(u"WordEditor",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedWordDocument>(s.object->wordEditor()));
               })
          .method(u"Close", {u"SaveMode"},
                  [](S& s, Call& c) {
                    return s.object->close(c.longArg(0)) ? c.returnsNothing() : Call::failed();
                  })
          .get(u"CommandBars",
               [](S& s, Call& c) {
                 return c.returns(serve<ServedCommandBars>(s.object->commandBars()));
               })
          .events(events::kInspectorEvents10, inspectorEvents)
          .events(events::kInspectorEvents, inspectorEvents)
          .build();
  return t;
}

const MemberTable& ServedFolders::table() const {
  using S = ServedFolders;
  static const MemberTable t = [] {
    Members<S> m(u"_Folders");
    return countAndItem<S, ServedFolder>(m).build();
  }();
  return t;
}

const MemberTable& ServedFolder::table() const {
  using S = ServedFolder;
  static const MemberTable t =
      Members<S>(u"MAPIFolder")
          .get(u"Class", [](S&, Call& c) { return c.returns(2L); })
          .get(u"Name", [](S& s, Call& c) { return c.returns(s.object->name()); })
          .get(u"EntryID", [](S& s, Call& c) { return c.returns(s.object->entryId()); })
          .get(u"StoreID", [](S& s, Call& c) { return c.returns(s.object->storeId()); })
          .get(u"Parent",
               [](S& s, Call& c) { return c.returns(serve<ServedFolder>(s.object->parent())); })
          .get(u"Items",
               [](S& s, Call& c) { return c.returns(serve<ServedItems>(s.object->items())); })
          .build();
  return t;
}

const MemberTable& ServedStore::table() const {
  using S = ServedStore;
  static const MemberTable t =
      Members<S>(u"_Store")
          .get(u"DisplayName", [](S& s, Call& c) { return c.returns(s.object->displayName()); })
          .get(u"StoreID", [](S& s, Call& c) { return c.returns(s.object->storeId()); })
          .build();
  return t;
}

const MemberTable& ServedItems::table() const {
  using S = ServedItems;
  static const MemberTable t =
      Members<S>(u"_Items")
          .events(events::kItemsEvents,
                  [](S& s, EventPoint& point) {
                    std::vector<platform::Connection> c;
                    c.push_back(s.object->onItemAdd([&point](const platform::ItemPtr& item) {
                      EventArgs args;
                      args.object(serveItem(item));
                      args.fire(point, events::kItemAdd);
                    }));
                    c.push_back(s.object->onItemChange([&point](const platform::ItemPtr& item) {
                      EventArgs args;
                      args.object(serveItem(item));
                      args.fire(point, events::kItemChange);
                    }));
                    return c;
                  })
          .build();
  return t;
}

}  // namespace korvanel::win::served
