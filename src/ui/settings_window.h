// The settings window: a toolbar of three exclusive tabs over the selected tab's page. It is made
// once and hidden when closed; its height follows the page, keeping the top edge still.
#pragma once

#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/settings_tab_page.h"
#include "windows/settings_model.h"

class SettingsWindow : public QWidget {
  Q_OBJECT

 public:
  struct Actions {
    // Asks the user for applications; their ids in the order chosen, none when cancelled.
    std::function<std::vector<std::string>(QWidget* parent)> chooseApps;
    // Asks before uninstalling, then uninstalls and quits.
    std::function<void(QWidget* parent)> confirmUninstall;
  };

  SettingsWindow(SettingsModel& model, Actions actions);
  ~SettingsWindow() override;

  // Shows the window in front, on `tab` when given (an open window otherwise keeps its tab), with
  // everything read afresh.
  void present(std::optional<SettingsTab> tab = std::nullopt);
  // Selects a tab; re-fits the window for it.
  void selectTab(SettingsTab tab);
  // Re-reads the model while the window is visible, so changes made elsewhere show.
  void refreshIfVisible();

  static constexpr int kMinimumContentWidth = 500;
  static constexpr int kMinimumContentHeight = 220;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QToolButton* tabButton(SettingsTab tab);
  void addShortcuts();
  // Brings toolbar selection, title, visible page and size in line with a tab.
  void syncWindow(SettingsTab tab);
  void fitSize();
  void render();

  SettingsModel& model_;
  QButtonGroup tabs_;
  std::array<SettingsTabPage*, 3> pages_{};
  QWidget* toolbar_;
  bool centred_ = false;
};
