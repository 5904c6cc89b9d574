#include "win/outlook/explorer.h"

#include "win/com/late_bound_object.h"
#include "win/outlook/command_bars.h"
#include "win/outlook/folder.h"
#include "win/outlook/item.h"

namespace korvanel::win {

namespace {

class ExplorersAdapter final : public platform::Explorers, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::ExplorerPtr item(long index) override { return makeExplorer(object(u"Item", {index})); }
};

class SelectionAdapter final : public platform::Selection, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::ItemPtr item(long index) override { return makeItem(object(u"Item", {index})); }
};

class ExplorerAdapter final : public platform::Explorer, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::FolderPtr currentFolder() override { return makeFolder(object(u"CurrentFolder")); }
  platform::SelectionPtr selection() override {
    return adapt<SelectionAdapter>(object(u"Selection"));
  }
  platform::CommandBarsPtr commandBars() override {
    return makeCommandBars(object(u"CommandBars"));
  }
};

}  // namespace

platform::ExplorersPtr makeExplorers(ComPtr<IDispatch> explorers) {
  return adapt<ExplorersAdapter>(std::move(explorers));
}

platform::ExplorerPtr makeExplorer(ComPtr<IDispatch> explorer) {
  return adapt<ExplorerAdapter>(std::move(explorer));
}

}  // namespace korvanel::win
