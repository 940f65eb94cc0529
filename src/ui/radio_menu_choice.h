// A menu item that is one choice of several: drawn as a radio item by the menu, and heard by a
// screen reader as a radio button, which Qt's own accessible menu item cannot say.
#pragma once

#include <QString>

class QAction;
class QMenu;

namespace RadioMenuChoice {

// Adds a checkable item to the menu; put it in an exclusive QActionGroup with its siblings.
QAction* add(QMenu* menu, const QString& text);

}  // namespace RadioMenuChoice
