#include "ui/welcome_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/toggle_switch.h"
#include "ui/window_icons.h"

namespace {

constexpr int kWidth = 460;
constexpr int kPadding = 28;
constexpr int kButtonPadding = 14;

QLabel* wrapped(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  return label;
}

// Room at the sides of a button's text, whatever the style's own margins.
void padded(QPushButton* button) {
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * kButtonPadding);
}

QLabel* iconLabel(const QIcon& icon, int size) {
  auto* label = new QLabel;
  label->setPixmap(icon.pixmap(size, size));
  label->setFixedSize(size, size);
  return label;
}

// A rounded box tinted with the text colour at a low opacity, as the hint and the menu bar use.
// Painted, not styled: a style sheet would cascade into the plain widgets inside and box them too.
class TintedBox : public QWidget {
 public:
  TintedBox(int radius, double opacity) : radius_(radius), opacity_(opacity) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor tint = palette().color(QPalette::WindowText);
    tint.setAlphaF(float(opacity_));
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawRoundedRect(QRectF(rect()), radius_, radius_);
  }

 private:
  int radius_;
  double opacity_;
};

QWidget* tinted(QWidget* content, int radius, double opacity, QMargins padding) {
  auto* box = new TintedBox(radius, opacity);
  box->setObjectName(QStringLiteral("tinted"));
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(padding);
  layout->addWidget(content);
  return box;
}

}  // namespace

WelcomeWindow::WelcomeWindow(WelcomeModel& model, Scheduler& scheduler, Actions actions, const QIcon& appIcon,
                             const QIcon& menuBarIcon)
    : model_(model), scheduler_(scheduler), actions_(std::move(actions)) {
  setWindowTitle(QStringLiteral("Welcome to Halomark"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(18);
  layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);

  layout->addWidget(iconLabel(appIcon, 96), 0, Qt::AlignHCenter);
  auto* heading = new QVBoxLayout;
  heading->setSpacing(6);
  auto* title = new QLabel(QStringLiteral("Welcome to Halomark"));
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
  titleFont.setWeight(QFont::DemiBold);
  title->setFont(titleFont);
  heading->addWidget(title, 0, Qt::AlignHCenter);
  auto* purpose = wrapped(
      QStringLiteral("Turn off, dim, or automate the glowing logo on the back of your Mac's display."));
  purpose->setAlignment(Qt::AlignHCenter);
  purpose->setForegroundRole(QPalette::PlaceholderText);
  heading->addWidget(purpose);
  layout->addLayout(heading);

  layout->addWidget(menuBarHint(menuBarIcon));
  layout->addWidget(compatibilityLine());

  auto* switches = new QVBoxLayout;
  switches->setSpacing(8);
  launchAtLogin_ = new ToggleSwitch(QStringLiteral("Launch Halomark at login"));
  autoUpdate_ = new ToggleSwitch(QStringLiteral("Check for updates automatically"));
  switches->addWidget(launchAtLogin_);
  switches->addWidget(autoUpdate_);
  layout->addLayout(switches);
  layout->addSpacing(4);
  layout->addWidget(buttonRow());
  // 460 wide, as tall as the content needs at that width; the user does not resize it.
  setFixedSize(kWidth, layout->heightForWidth(kWidth));

  // Shown again after each change, so a refused login item springs back.
  connect(launchAtLogin_, &QCheckBox::toggled, this, [this](bool on) {
    model_.setLaunchAtLogin(on);
    render();
  });
  connect(autoUpdate_, &QCheckBox::toggled, this, [this](bool on) {
    model_.setAutoUpdate(on);
    render();
  });
  model_.onChange = [this] { render(); };
  render();
}

WelcomeWindow::~WelcomeWindow() { model_.onChange = nullptr; }

QWidget* WelcomeWindow::menuBarHint(const QIcon& menuBarIcon) {
  auto* bar = new QWidget;
  auto* barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(0, 0, 0, 0);
  barLayout->setSpacing(10);
  auto* crescent = tinted(iconLabel(menuBarIcon, 18), 5, 0.12, QMargins(5, 5, 5, 5));
  crescent->setAccessibleName(QStringLiteral("Halomark"));
  barLayout->addWidget(crescent);
  auto statusColour = QApplication::palette().color(QPalette::WindowText);
  // Drawn, not themed: the picture of a menu bar should look the same on every desktop.
  barLayout->addWidget(iconLabel(WindowIcons::drawn(WindowIcons::Drawn::wifi, statusColour), 16));
  barLayout->addWidget(iconLabel(WindowIcons::drawn(WindowIcons::Drawn::battery, statusColour), 16));
  auto* miniature = tinted(bar, 8, 0.06, QMargins(10, 6, 10, 6));

  auto* texts = new QVBoxLayout;
  texts->setSpacing(4);
  auto* lives = new QLabel(QStringLiteral("Halomark lives in your menu bar."));
  QFont medium = lives->font();
  medium.setWeight(QFont::Medium);
  lives->setFont(medium);
  auto* look = wrapped(QStringLiteral(
      "Look for the crescent near the top right of your screen. Click it for the logo controls, or "
      "Alt-click it to switch the logo on or off."));
  look->setForegroundRole(QPalette::PlaceholderText);
  texts->addWidget(lives);
  texts->addWidget(look);

  auto* row = new QWidget;
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->setSpacing(14);
  rowLayout->addWidget(miniature, 0, Qt::AlignTop);
  rowLayout->addLayout(texts, 1);
  return tinted(row, 12, 0.04, QMargins(14, 14, 14, 14));
}

QWidget* WelcomeWindow::compatibilityLine() {
  auto* line = new QWidget;
  auto* layout = new QHBoxLayout(line);
  layout->setContentsMargins(0, 0, 0, 0);
  bool ok = model_.isSupported();
  QIcon icon = ok ? WindowIcons::themed("emblem-ok-symbolic", WindowIcons::Drawn::checkCircle,
                                        QColor(0x34, 0xc7, 0x59))
                  : WindowIcons::themed("dialog-warning", WindowIcons::Drawn::warningTriangle,
                                        QColor(0xff, 0x95, 0x00));
  layout->addWidget(iconLabel(icon, 18), 0, Qt::AlignTop);
  // The short supported line stays on one line; a reason wraps across the width.
  auto* text = ok ? new QLabel(QString::fromStdString(model_.compatibilityText()))
                  : wrapped(QString::fromStdString(model_.compatibilityText()));
  text->setObjectName(QStringLiteral("compatibility"));
  layout->addWidget(text, ok ? 0 : 1);
  if (ok) layout->addStretch(1);
  return line;
}

QWidget* WelcomeWindow::buttonRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  if (model_.isSupported()) {
    auto* done = new QPushButton(QStringLiteral("Done"));
    auto* menu = new QPushButton(QStringLiteral("Show Halomark's Menu"));
    padded(done);
    padded(menu);
    // Return means the default button wherever the focus is.
    done->setAutoDefault(false);
    menu->setDefault(true);
    layout->addStretch(1);
    layout->addWidget(done);
    layout->addWidget(menu);
    connect(done, &QPushButton::clicked, this, &QDialog::reject);
    connect(menu, &QPushButton::clicked, this, [this] {
      close();
      if (actions_.showMenu) scheduler_.after(kMenuDelaySeconds, actions_.showMenu);
    });
  } else {
    auto* quit = new QPushButton(QStringLiteral("Quit Halomark"));
    auto* okButton = new QPushButton(QStringLiteral("OK"));
    padded(quit);
    padded(okButton);
    quit->setAutoDefault(false);
    okButton->setDefault(true);
    layout->addWidget(quit);
    layout->addStretch(1);
    layout->addWidget(okButton);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(quit, &QPushButton::clicked, this, [this] {
      if (actions_.quit) actions_.quit();
    });
  }
  return row;
}

void WelcomeWindow::present() {
  if (auto* screen = QApplication::primaryScreen(); screen && !isVisible()) {
    adjustSize();
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void WelcomeWindow::render() {
  QSignalBlocker quietLogin(launchAtLogin_);
  QSignalBlocker quietUpdate(autoUpdate_);
  launchAtLogin_->setChecked(model_.launchAtLogin());
  autoUpdate_->setChecked(model_.autoUpdate());
}
