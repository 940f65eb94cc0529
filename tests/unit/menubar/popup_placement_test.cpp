#include "menubar/popup_placement.h"

#include <gtest/gtest.h>

namespace {

using namespace PopupPlacement;

const Rect kScreen{0, 0, 1024, 600};

bool overlaps(Rect a, Rect b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

TEST(PopupPlacement, OpensAgainstThePanelsEdgeAtTheItemAndNeverOverIt) {
  struct Case {
    Rect panel;
    Rect item;
    Point expected;
  };
  // A top panel 27 high (Xfce), a bottom one, a left and a right one.
  for (const Case& c : {Case{{0, 0, 1024, 27}, {600, 3, 22, 22}, {600, 27}},
                        Case{{0, 560, 1024, 40}, {100, 568, 24, 24}, {100, 560 - 200}},
                        Case{{0, 0, 48, 600}, {12, 300, 24, 24}, {48, 300}},
                        Case{{980, 0, 44, 600}, {990, 50, 24, 24}, {980 - 300, 50}}}) {
    Point at = place(c.item, c.panel, kScreen, 300, 200);
    EXPECT_EQ(at, c.expected) << c.panel.x << "," << c.panel.y;
    EXPECT_FALSE(overlaps({at.x, at.y, 300, 200}, c.item));
    EXPECT_FALSE(overlaps({at.x, at.y, 300, 200}, c.panel)) << "adjacent to the panel, not over it";
  }
}

TEST(PopupPlacement, StaysOnTheScreenAlongThePanel) {
  // An item at the right end of a top panel: the popup ends at the screen's edge.
  EXPECT_EQ(place({1000, 2, 22, 22}, Rect{0, 0, 1024, 26}, kScreen, 300, 400), (Point{724, 26}));
  EXPECT_EQ(place({-5, 2, 22, 22}, Rect{0, 0, 1024, 26}, kScreen, 300, 400), (Point{0, 26}));
}

TEST(PopupPlacement, WithoutAPanelTheItemItselfIsTheEdge) {
  // A point a host passed, on a bar the application cannot see: just below the item's square.
  Rect item = itemAround({786, 14});
  EXPECT_EQ(item, (Rect{770, -2, 32, 32}));
  EXPECT_EQ(place(item, std::nullopt, kScreen, 300, 400), (Point{724, 30}));
  // A desktop window under the point is no panel.
  EXPECT_EQ(place(item, Rect{0, 0, 1024, 600}, kScreen, 300, 400), (Point{724, 30}));
  // Near the bottom, the popup opens upwards.
  EXPECT_EQ(place(itemAround({50, 590}), std::nullopt, kScreen, 300, 400), (Point{34, 574 - 400}));
}

TEST(PopupPlacement, TheLikelyItemIsAtThePanelsEndElseTheTopRightCorner) {
  EXPECT_EQ(likelyItem(Rect{0, 0, 1024, 27}, kScreen), (Rect{997, 0, 27, 27}));
  EXPECT_EQ(likelyItem(Rect{0, 0, 40, 600}, kScreen), (Rect{0, 560, 40, 40}));
  EXPECT_EQ(likelyItem(std::nullopt, Rect{0, 30, 1024, 570}), (Rect{992, 30, 32, 32}));
}

}  // namespace
