#include "menubar/popup_placement.h"

#include <algorithm>

namespace PopupPlacement {

namespace {

enum class Edge { top, bottom, left, right };

// A panel runs along one edge of the screen and is thin across it.
bool looksLikePanel(const Rect& r, const Rect& screen) {
  return r.width > 0 && r.height > 0 && (r.height * 4 <= screen.height || r.width * 4 <= screen.width);
}

Edge edgeOf(const Rect& panel, const Rect& screen) {
  int centreX = panel.x + panel.width / 2 - screen.x;
  int centreY = panel.y + panel.height / 2 - screen.y;
  if (panel.width >= panel.height) return centreY < screen.height / 2 ? Edge::top : Edge::bottom;
  return centreX < screen.width / 2 ? Edge::left : Edge::right;
}

int clampInto(int start, int length, int lowest, int highestEnd) {
  return std::max(lowest, std::min(start, highestEnd - length));
}

}  // namespace

Rect itemAround(Point point) {
  return {point.x - kItemSide / 2, point.y - kItemSide / 2, kItemSide, kItemSide};
}

Point place(Rect item, std::optional<Rect> panel, Rect screen, int width, int height) {
  Rect holder = panel && looksLikePanel(*panel, screen) ? *panel : item;
  switch (edgeOf(holder, screen)) {
    case Edge::top: return {clampInto(item.x, width, screen.x, screen.right()), holder.bottom()};
    case Edge::bottom: return {clampInto(item.x, width, screen.x, screen.right()), holder.y - height};
    case Edge::left: return {holder.right(), clampInto(item.y, height, screen.y, screen.bottom())};
    case Edge::right: break;
  }
  return {holder.x - width, clampInto(item.y, height, screen.y, screen.bottom())};
}

Rect likelyItem(std::optional<Rect> panel, Rect workArea) {
  if (panel && looksLikePanel(*panel, workArea)) {
    if (panel->width >= panel->height)
      return {panel->right() - panel->height, panel->y, panel->height, panel->height};
    return {panel->x, panel->bottom() - panel->width, panel->width, panel->width};
  }
  return {workArea.right() - kItemSide, workArea.y, kItemSide, kItemSide};
}

}  // namespace PopupPlacement
