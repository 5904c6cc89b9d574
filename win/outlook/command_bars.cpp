#include "win/outlook/command_bars.h"

#include "win/com/event_sink.h"
#include "win/com/late_bound_object.h"
#include "win/outlook/event_ids.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;
using platform::TextView;

namespace {

class CommandBarAdapter final : public platform::CommandBar, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  Text name() override { return text(u"Name"); }
  bool reset() override { return run(u"Reset"); }
};

class CommandBarControlsAdapter final : public platform::CommandBarControls,
                                        public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::CommandBarControlPtr item(long index) override {
    return makeCommandBarControl(object(u"Item", {index}));
  }
};

class CommandBarControlAdapter final : public platform::CommandBarControl, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long id() override { return number(u"Id"); }
  Text caption() override { return text(u"Caption"); }
  bool execute() override { return run(u"Execute"); }
  // Only pop-ups and drop-downs have Controls; on a button the read fails.
  platform::CommandBarControlsPtr controls() override {
    return adapt<CommandBarControlsAdapter>(object(u"Controls"));
  }
  Connection onClick(ClickHandler handler) override {
    return adviseEvent(
        comObject(), {events::kCommandBarButtonEvents}, events::kClick, 2,
        [handler = std::move(handler)](const EventArguments& args) {
          const platform::CommandBarControlPtr clicked = makeCommandBarControl(args.object(0));
          args.inOutBoolean(1, [&](bool& cancelDefault) { handler(clicked, cancelDefault); });
        });
  }
};

class CommandBarsAdapter final : public platform::CommandBars, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  // FindControl(Type, Id, Tag, Visible) with only the Id given: the others are passed as
  // missing, as a late-bound caller leaves out optional arguments.
  platform::CommandBarControlPtr findControl(long id) override {
    CallArguments args;
    args.addMissing().add(id).addMissing().addMissing();
    return makeCommandBarControl(callObject(u"FindControl", args));
  }
  platform::CommandBarPtr item(TextView name) override {
    return adapt<CommandBarAdapter>(object(u"Item", {name}));
  }
};

}  // namespace

platform::CommandBarsPtr makeCommandBars(ComPtr<IDispatch> bars) {
  return adapt<CommandBarsAdapter>(std::move(bars));
}

platform::CommandBarControlPtr makeCommandBarControl(ComPtr<IDispatch> control) {
  return adapt<CommandBarControlAdapter>(std::move(control));
}

}  // namespace korvanel::win
