#include "win/outlook/outlook_application.h"

#include "win/com/event_sink.h"
#include "win/com/late_bound_object.h"
#include "win/outlook/com_addin.h"
#include "win/outlook/event_ids.h"
#include "win/outlook/explorer.h"
#include "win/outlook/insp_window.h"
#include "win/outlook/item.h"
#include "win/outlook/outlook_namespace.h"
#include "win/outlook/property_pages.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;
using platform::TextView;

namespace {

class ApplicationAdapter final : public platform::Application, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;

  Text version() override { return text(u"Version"); }
  platform::NameSpacePtr getNamespace(TextView type) override {
    return makeNameSpace(callObject(u"GetNamespace", {type}));
  }
  platform::ExplorersPtr explorers() override { return makeExplorers(object(u"Explorers")); }
  platform::InspectorsPtr inspectors() override { return makeInspectors(object(u"Inspectors")); }
  platform::ExplorerPtr activeExplorer() override {
    return makeExplorer(callObject(u"ActiveExplorer"));
  }
  platform::InspectorPtr activeInspector() override {
    return makeInspector(callObject(u"ActiveInspector"));
  }
  platform::ItemPtr createItem(long itemType) override {
    return makeItem(callObject(u"CreateItem", {itemType}));
  }
  long languageId(long msoLanguageId) override {
    return LateBoundObject(object(u"LanguageSettings")).number(u"LanguageID", {msoLanguageId});
  }
  platform::COMAddInsPtr comAddIns() override { return makeComAddIns(object(u"COMAddIns")); }
  void quit() override { run(u"Quit"); }

  Connection onItemSend(ItemSendHandler handler) override {
    return adviseEvent(comObject(), {events::kApplicationEvents11}, events::kItemSend, 2,
                       [handler = std::move(handler)](const EventArguments& args) {
                         const platform::ItemPtr item = makeItem(args.object(0));
                         args.inOutBoolean(1, [&](bool& cancel) { handler(item, cancel); });
                       });
  }
  Connection onNewMailEx(NewMailExHandler handler) override {
    return adviseEvent(
        comObject(), {events::kApplicationEvents11}, events::kNewMailEx, 1,
        [handler = std::move(handler)](const EventArguments& args) { handler(args.text(0)); });
  }
  Connection onOptionsPagesAdd(OptionsPagesAddHandler handler) override {
    return adviseEvent(comObject(), {events::kApplicationEvents11}, events::kOptionsPagesAdd, 1,
                       [handler = std::move(handler)](const EventArguments& args) {
                         handler(makePropertyPages(args.object(0)));
                       });
  }
};

}  // namespace

platform::ApplicationPtr makeApplication(ComPtr<IDispatch> application) {
  return adapt<ApplicationAdapter>(std::move(application));
}

}  // namespace korvanel::win
