// Where the popup menu opens: beside the panel, at the status item, never over the item. The
// panel's edge of the screen decides the side (below a top panel, above a bottom one, beside a
// side one); the item decides the position along the panel.
#pragma once

#include <optional>

namespace PopupPlacement {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// Side of a square taken for an item known only by a point (the place a host passes with a click).
inline constexpr int kItemSide = 32;

// A square of kItemSide around `point`.
Rect itemAround(Point point);

// Top-left corner of a popup of `width` x `height` for the item at `item`, inside `screen`. `panel`
// is the window that holds the item when known; a window as large as a desktop is not a panel.
Point place(Rect item, std::optional<Rect> panel, Rect screen, int width, int height);

// Where the item most likely is when nothing has told: the far end of `panel` (trays sit at a
// panel's end), else the top-right corner of `workArea`.
Rect likelyItem(std::optional<Rect> panel, Rect workArea);

}  // namespace PopupPlacement
