// The menu of the popup presentation. It knows where the style draws its items' text, so rows of
// controls embedded in it line up with the text column and end where the shortcuts end.
#pragma once

#include <QMenu>

class PopupMenu : public QMenu {
  Q_OBJECT

 public:
  explicit PopupMenu(QWidget* parent = nullptr) : QMenu(parent) {}

  struct Insets {
    int left = 14;
    int right = 14;
  };
  // From an item's left edge to where its text starts, and from where its shortcut ends to the
  // item's right edge, measured by drawing one item the way the style draws it.
  Insets textInsets();
};
