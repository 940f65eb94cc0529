#include "ui/toggle_switch.h"

#include <QPainter>
#include <QStyle>

#include "ui/switch_painter.h"

namespace {
constexpr int kTextGap = 10;
}

ToggleSwitch::ToggleSwitch(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  // With its text it spans the row, the switch at the trailing edge as in the settings rows.
  setSizePolicy(text.isEmpty() ? QSizePolicy::Fixed : QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const {
  if (text().isEmpty()) return kTrack;
  QSize words = fontMetrics().size(Qt::TextShowMnemonic, text());
  return {words.width() + kTextGap + kTrack.width(), std::max(words.height(), kTrack.height())};
}

bool ToggleSwitch::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void ToggleSwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect track(QPoint(width() - kTrack.width(), (height() - kTrack.height()) / 2), kTrack);
  if (!text().isEmpty()) {
    QRect words(0, 0, width() - kTrack.width() - kTextGap, height());
    style()->drawItemText(&p, words, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::WindowText);
  }
  SwitchPainter::paint(p, track, isChecked(), isEnabled(), hasFocus(), palette(),
                       palette().color(QPalette::Highlight));
}
