// Finding a window's widgets by what the user sees: button texts, label texts, visibility.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <type_traits>

#include "ui/qt_text.h"

namespace WidgetLookup {

inline bool shown(QWidget* widget) { return widget->isVisibleTo(widget->window()); }

// A widget's text as drawn: to a button, or a label with a buddy, "&" marks a mnemonic.
template <class T>
QString displayed(T* widget) {
  if constexpr (std::is_base_of_v<QAbstractButton, T>) {
    return QtText::shown(widget->text());
  } else if constexpr (std::is_base_of_v<QLabel, T>) {
    return widget->buddy() ? QtText::shown(widget->text()) : widget->text();
  } else {
    return widget->text();
  }
}

// The visible widgets of type T whose text, as drawn, is `text`.
template <class T>
QList<T*> withText(QWidget* root, const QString& text) {
  QList<T*> found;
  for (auto* widget : root->findChildren<T*>()) {
    if (shown(widget) && displayed(widget) == text) found.append(widget);
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
