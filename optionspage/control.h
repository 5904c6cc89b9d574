// One control of the Options page as a renderer needs it: kind, container, position in
// twips, caption, tooltip, font, visibility and enabled state, and (option buttons) whether
// it is selected. The page's handlers change these; a renderer only reads them.
#pragma once

#include <cstdint>

#include "platform/shell.h"
#include "text/text.h"

namespace korvanel::page {

using text::Text;
using text::TextView;

enum class ControlKind { kFrame, kLabel, kListBox, kCommandButton, kOptionButton };

// Left, top, width and height in twips, relative to the container.
struct Position {
  long left = 0;
  long top = 0;
  long width = 0;
  long height = 0;
  bool operator==(const Position&) const = default;
};

// The system's default colour (a renderer uses the window's own).
inline constexpr long kDefaultColor = -1;

struct Control {
  Text name;  // "cmdAdd", "Option1(2)", "Label4(0)"
  ControlKind kind = ControlKind::kCommandButton;
  Text container;  // the containing frame's name; empty for the page itself
  Position position;
  Text caption;
  Text toolTip;
  bool visible = true;
  bool enabled = true;
  bool value = false;  // an option button's selection
  platform::FontSpec font{u"MS Sans Serif", false, 8.0};
  bool underline = false;
  long foreColor = kDefaultColor;  // 0x00BBGGRR as Windows colours are written
  bool handCursor = false;
};

}  // namespace korvanel::page
