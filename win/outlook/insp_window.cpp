#include "win/outlook/insp_window.h"

#include "win/com/event_sink.h"
#include "win/com/late_bound_object.h"
#include "win/outlook/command_bars.h"
#include "win/outlook/event_ids.h"
#include "win/outlook/item.h"
#include "win/outlook/word_document.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;

namespace {

class InspectorsAdapter final : public platform::Inspectors, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::InspectorPtr item(long index) override {
    return makeInspector(object(u"Item", {index}));
  }
  Connection onNewInspector(NewInspectorHandler handler) override {
    return adviseEvent(comObject(), {events::kInspectorsEvents}, events::kNewInspector, 1,
                       [handler = std::move(handler)](const EventArguments& args) {
                         handler(makeInspector(args.object(0)));
                       });
  }
};

class InspectorAdapter final : public platform::Inspector, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::ItemPtr currentItem() override { return makeItem(object(u"CurrentItem")); }
  Text caption() override { return text(u"Caption"); }
  bool isWordMail() override { return call(u"IsWordMail").toBool(); }
  platform::WordDocumentPtr wordEditor() override {
    return makeWordDocument(object(u"WordEditor"));
  }
  bool close(long saveMode) override { return run(u"Close", {saveMode}); }
  platform::CommandBarsPtr commandBars() override {
    return makeCommandBars(object(u"CommandBars"));
  }

  Connection onActivate(std::function<void()> handler) override {
    return windowEvent(events::kInspectorActivate, std::move(handler));
  }
  Connection onDeactivate(std::function<void()> handler) override {
    return windowEvent(events::kInspectorDeactivate, std::move(handler));
  }
  Connection onClose(std::function<void()> handler) override {
    return windowEvent(events::kInspectorClose, std::move(handler));
  }

 private:
  Connection windowEvent(DISPID id, std::function<void()> handler) {
    return adviseEvent(comObject(), {events::kInspectorEvents10, events::kInspectorEvents}, id, 0,
                       [handler = std::move(handler)](const EventArguments&) { handler(); });
  }
};

}  // namespace

platform::InspectorsPtr makeInspectors(ComPtr<IDispatch> inspectors) {
  return adapt<InspectorsAdapter>(std::move(inspectors));
}

platform::InspectorPtr makeInspector(ComPtr<IDispatch> inspector) {
  return adapt<InspectorAdapter>(std::move(inspector));
}

}  // namespace korvanel::win
