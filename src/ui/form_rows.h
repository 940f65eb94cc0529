// The building blocks of the settings window's grouped form: titled sections, rows with a title,
// an optional smaller subtitle and a trailing control, and red error lines under a row.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

namespace FormRows {

// A titled group whose rows stack vertically.
QGroupBox* section(const QString& title, QWidget* parent);
QVBoxLayout* rowsOf(QGroupBox* section);

// A row: the title (and subtitle) at the leading edge, `control` at the trailing edge. The control
// is named after the title for assistive technology.
QWidget* row(const QString& title, const QString& subtitle, QWidget* control);

// The platform's toggle, named by the row's title.
QCheckBox* toggle(const QString& title);
// A pop-up picker of (text, value) choices.
QComboBox* picker(std::initializer_list<std::pair<QString, int>> choices);
// Selects the choice holding `value`; no selection when none does.
void select(QComboBox* picker, int value);

// An error line in red in a smaller font, hidden while there is no error.
QLabel* errorLine();
void showError(QLabel* line, const QString& error);

}  // namespace FormRows
