// Finding a window's widgets by what the user sees: button texts, label texts, visibility.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWidget>

namespace WidgetLookup {

inline bool shown(QWidget* widget) { return widget->isVisibleTo(widget->window()); }

// The visible widgets of type T whose text is `text`.
template <class T>
QList<T*> withText(QWidget* root, const QString& text) {
  QList<T*> found;
  for (auto* widget : root->findChildren<T*>()) {
    if (shown(widget) && widget->text() == text) found.append(widget);
  }
  return found;
}

template <class T>
T* one(QWidget* root, const QString& text) {
  auto found = withText<T>(root, text);
  return found.size() == 1 ? found.front() : nullptr;
}

// The visible picker that holds a choice with this text.
inline QComboBox* pickerWith(QWidget* root, const QString& choice) {
  for (auto* combo : root->findChildren<QComboBox*>()) {
    if (shown(combo) && combo->findText(choice) >= 0) return combo;
  }
  return nullptr;
}

// The visible switch named `name` for assistive technology (switches carry no text of their own).
inline QCheckBox* toggleNamed(QWidget* root, const QString& name) {
  for (auto* box : root->findChildren<QCheckBox*>()) {
    if (shown(box) && box->accessibleName() == name) return box;
  }
  return nullptr;
}

// Lets deferred layout work and posted events run.
inline void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace WidgetLookup
