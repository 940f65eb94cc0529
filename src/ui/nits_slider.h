// The fixed-brightness slider of the control panel. The mouse moves it along its logarithmic
// scale; the keys step the brightness itself: Left and Right by one nit, Page Up and Page Down by a
// tenth of the travel, Home and End to the ends. Up and Down are left to the menu around it.
// Assistive technology reads and sets it in nits.
#pragma once

#include <QSlider>
#include <functional>

class NitsSlider : public QSlider {
  Q_OBJECT

 public:
  explicit NitsSlider(QWidget* parent = nullptr);

  // The brightness it stands for now.
  double nits() const { return nits_; }
  void setNits(double nits) { nits_ = nits; }
  // Called with a brightness chosen by key or by assistive technology.
  void setOnNitsChosen(std::function<void(double)> chosen) { chosen_ = std::move(chosen); }
  void chooseNits(double nits);

  // Steps of the position between 0 and 1: fine enough that one nit near 1000 is several steps.
  static constexpr int kSteps = 100000;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  double nits_ = 150;
  std::function<void(double)> chosen_;
};
