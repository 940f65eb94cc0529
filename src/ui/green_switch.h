// The small on/off switch of the menu's first row: a pill that is green when on, with a knob that
// jumps to its side. It acts on mouse press (no dragging) so it works inside a menu row, flips with
// Space (Return flips it and lets the menu close, as a menu item does), and is exposed to assistive
// technology as a checkable switch with a press action.
#pragma once

#include <QWidget>
#include <functional>

class GreenSwitch : public QWidget {
  Q_OBJECT

 public:
  explicit GreenSwitch(QWidget* parent = nullptr);

  bool isOn() const { return isOn_; }
  // From code: redraws and updates the accessible state, but never calls `onChange`.
  void setOn(bool on);
  // Called with the new position when the user flips the switch.
  void setOnChange(std::function<void(bool)> onChange) { onChange_ = std::move(onChange); }
  // The user's flip (mouse press or the accessible press action); only while enabled. Returns
  // whether it acted.
  bool flip();

  QSize sizeHint() const override { return {32, 18}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

  // The track's colours against this palette, exposed for the rendering tests.
  QColor onColor() const;
  QColor offColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool isOn_ = false;
  std::function<void(bool)> onChange_;
};
