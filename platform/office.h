// Office command bars as the product uses them: FindControl by id on an Explorer's or an
// Inspector's CommandBars (522 Tools > Options, 31224 the accounts drop-down), a bar by name
// ("Standard") to Reset, a control's Controls, Caption, Execute and Click event.
// Failures give nullptr / empty text / 0 / false. Single-threaded.
#pragma once

#include <functional>
#include <memory>

#include "platform/event.h"
#include "text/text.h"

namespace korvanel::platform {

using text::Text;
using text::TextView;

class CommandBars;
class CommandBar;
class CommandBarControl;
class CommandBarControls;
using CommandBarsPtr = std::shared_ptr<CommandBars>;
using CommandBarPtr = std::shared_ptr<CommandBar>;
using CommandBarControlPtr = std::shared_ptr<CommandBarControl>;
using CommandBarControlsPtr = std::shared_ptr<CommandBarControls>;

inline constexpr long kOptionsCommandId = 522;
inline constexpr long kAccountsControlId = 31224;

class CommandBars {
 public:
  virtual ~CommandBars() = default;
  // The first control with this id on any bar (Type, Tag and Visible omitted); nullptr if none.
  virtual CommandBarControlPtr findControl(long id) = 0;
  // The bar of this name; nullptr if none.
  virtual CommandBarPtr item(TextView name) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual Text name() = 0;
  // Returns a built-in bar to its default configuration.
  virtual bool reset() = 0;
};

// Any command-bar control: a button, a pop-up, an entry of a drop-down.
class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;
  virtual long id() = 0;
  virtual Text caption() = 0;
  // Runs the control's action (for a drop-down entry: selects that entry). Does not raise Click.
  virtual bool execute() = 0;
  // The entries of a pop-up or drop-down; nullptr for a plain button.
  virtual CommandBarControlsPtr controls() = 0;

  // Click of a button. Office raises it for a user's click on any control that shares this
  // control's id, passing the control actually clicked; setting cancelDefault stops the
  // control's own action.
  using ClickHandler = std::function<void(const CommandBarControlPtr& ctrl, bool& cancelDefault)>;
  virtual Connection onClick(ClickHandler handler) = 0;
};

class CommandBarControls {
 public:
  virtual ~CommandBarControls() = default;
  virtual long count() = 0;
  // 1-based; nullptr outside 1..count.
  virtual CommandBarControlPtr item(long index) = 0;
};

}  // namespace korvanel::platform
