#include "ui/settings_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/settings_automation_tab.h"
#include "ui/settings_general_tab.h"
#include "ui/settings_signals_tab.h"
#include "ui/window_icons.h"

namespace {

// All three drawn, in the text colour: a theme would supply some and not others, and mix a
// coloured picture with a line drawing on one bar.
QIcon tabIcon(SettingsTab tab, const QColor& ink) {
  switch (tab) {
    case SettingsTab::automation: return WindowIcons::drawn(WindowIcons::Drawn::moonAndStars, ink);
    case SettingsTab::signals: return WindowIcons::drawn(WindowIcons::Drawn::sparkles, ink);
    case SettingsTab::general: break;
  }
  return WindowIcons::drawn(WindowIcons::Drawn::gear, ink);
}

int indexOf(SettingsTab tab) { return static_cast<int>(tab); }

// The property that marks a tool button as one of the window's tabs.
constexpr char kTabProperty[] = "halomarkSettingsTab";

// The tab buttons are checkable tool buttons, which a screen reader would call check boxes: to it
// they are page tabs, the shown one selected, and pressing one shows its page.
class AccessibleTab : public QAccessibleWidget {
 public:
  explicit AccessibleTab(QToolButton* button) : QAccessibleWidget(button, QAccessible::PageTab) {}
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = button()->isChecked();
    return s;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction()) button()->click();
  }

 private:
  QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

// A plain top-level widget reads as a nameless "filler" to a screen reader; this is a window, named
// by its title.
QAccessibleInterface* settingsWindowAccessible(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (className == QLatin1String("SettingsWindow"))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  if (className == QLatin1String("QToolButton") && object->property(kTabProperty).toBool())
    return new AccessibleTab(static_cast<QToolButton*>(object));
  return nullptr;
}

}  // namespace

SettingsWindow::SettingsWindow(SettingsModel& model, Actions actions) : model_(model) {
  static const bool installed = (QAccessible::installFactory(settingsWindowAccessible), true);
  (void)installed;
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setObjectName(QStringLiteral("HalomarkSettings"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  toolbar_ = new QWidget;
  toolbar_->setObjectName(QStringLiteral("HalomarkSettingsToolbar"));
  auto* toolbarLayout = new QHBoxLayout(toolbar_);
  toolbarLayout->addStretch(1);
  for (auto tab : kSettingsTabs) toolbarLayout->addWidget(tabButton(tab));
  toolbarLayout->addStretch(1);
  layout->addWidget(toolbar_);
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);

  pages_[indexOf(SettingsTab::general)] = new SettingsGeneralTab(
      model_, [this, confirm = actions.confirmUninstall] { confirm(this); }, this);
  pages_[indexOf(SettingsTab::automation)] = new SettingsAutomationTab(
      model_, [this, choose = actions.chooseApps] { return choose(this); }, this);
  pages_[indexOf(SettingsTab::signals)] = new SettingsSignalsTab(model_, this);
  for (auto* page : pages_) {
    page->setFixedWidth(kMinimumContentWidth);
    page->layout()->setContentsMargins(20, 12, 20, 16);
    page->setMinimumHeight(kMinimumContentHeight);
    layout->addWidget(page);
  }
  addShortcuts();

  model_.onChange = [this] { render(); };
  model_.onTabChange = [this](SettingsTab tab) { syncWindow(tab); };
  model_.onLayoutChange = [this] { syncWindow(model_.selectedTab()); };
  render();
  syncWindow(model_.selectedTab());
}

SettingsWindow::~SettingsWindow() {
  model_.onChange = nullptr;
  model_.onTabChange = nullptr;
  model_.onLayoutChange = nullptr;
}

QToolButton* SettingsWindow::tabButton(SettingsTab tab) {
  auto* button = new QToolButton;
  // Before anything a screen reader hears of: its view of the button is made at the first change.
  button->setProperty(kTabProperty, true);
  QString title = QString::fromStdString(::title(tab));
  button->setText(title);
  button->setIcon(tabIcon(tab, palette().color(QPalette::ButtonText)));
  button->setIconSize(QSize(24, 24));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setCheckable(true);
  button->setFocusPolicy(Qt::StrongFocus);
  button->setObjectName(QString::fromStdString(toolbarID(tab)));
  button->setAccessibleName(title);
  button->setMinimumWidth(72);
  button->installEventFilter(this);
  tabs_.addButton(button, indexOf(tab));
  connect(button, &QToolButton::clicked, this, [this, tab] { selectTab(tab); });
  return button;
}

void SettingsWindow::addShortcuts() {
  for (auto tab : kSettingsTabs) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + indexOf(tab))), this);
    connect(shortcut, &QShortcut::activated, this, [this, tab] { selectTab(tab); });
  }
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
  // Only an Escape no control took: an open dropdown closes itself and keeps the key.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
  // Arrow keys move between the tabs, as in a tab bar.
  if (event->type() == QEvent::KeyPress && tabs_.buttons().contains(watched)) {
    int key = static_cast<QKeyEvent*>(event)->key();
    int step = key == Qt::Key_Left || key == Qt::Key_Up      ? -1
               : key == Qt::Key_Right || key == Qt::Key_Down ? 1
                                                             : 0;
    if (step != 0) {
      int next = (indexOf(model_.selectedTab()) + step + 3) % 3;
      selectTab(kSettingsTabs[next]);
      tabs_.button(next)->setFocus();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SettingsWindow::present(std::optional<SettingsTab> tab) {
  if (tab) selectTab(*tab);
  model_.reload();
  render();
  if (!centred_) {
    centred_ = true;
    if (auto* screen = QApplication::primaryScreen()) {
      adjustSize();
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  show();
  raise();
  activateWindow();
}

void SettingsWindow::selectTab(SettingsTab tab) {
  if (tab == model_.selectedTab()) {
    syncWindow(tab);
    return;
  }
  model_.selectTab(tab);
}

void SettingsWindow::refreshIfVisible() {
  if (isVisible()) model_.reload();
}

void SettingsWindow::syncWindow(SettingsTab tab) {
  tabs_.button(indexOf(tab))->setChecked(true);
  setWindowTitle(QString::fromStdString(title(tab)));
  for (auto candidate : kSettingsTabs) pages_[indexOf(candidate)]->setVisible(candidate == tab);
  // Measured once the new content has been laid out.
  QTimer::singleShot(0, this, [this] { fitSize(); });
}

void SettingsWindow::fitSize() {
  // The layout's fixed-size constraint sizes the window to the visible page; the top-left corner
  // stays where it is, so the window grows and shrinks downwards.
  QPoint topLeft = pos();
  layout()->activate();
  adjustSize();
  if (isVisible()) move(topLeft);
}

void SettingsWindow::render() {
  for (auto* page : pages_) page->render(model_.values());
}
