// The on/off switch of the settings and welcome rows: a check box drawn as a switch from the
// palette (so it shows in light and dark themes), with the check box's keyboard, signals and
// accessible role. Its visible text, when it has one, sits at its leading edge.
#pragma once

#include <QCheckBox>

class ToggleSwitch : public QCheckBox {
  Q_OBJECT

 public:
  explicit ToggleSwitch(const QString& text = QString(), QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  static constexpr QSize kTrack{36, 20};

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};
