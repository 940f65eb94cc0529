#include "ui/settings_signals_tab.h"

#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/form_rows.h"

using namespace FormRows;

SettingsSignalsTab::SettingsSignalsTab(SettingsModel& model, QWidget* parent)
    : SettingsTabPage(model, parent) {
  auto* layout = new QVBoxLayout(this);

  auto* signal = section(QStringLiteral("Attention Signal"), this);
  style_ = picker({{QStringLiteral("Breathing"), int(Prefs::SignalStyle::breathing)},
                   {QStringLiteral("Double-pulse"), int(Prefs::SignalStyle::doublePulse)},
                   {QStringLiteral("Steady glow"), int(Prefs::SignalStyle::steady)}});
  keepDisplayOn_ = toggle(QStringLiteral("Keep display on while signaling"));
  timeout_ = picker({{QStringLiteral("5 minutes"), 5},
                     {QStringLiteral("10 minutes"), 10},
                     {QStringLiteral("30 minutes"), 30},
                     {QStringLiteral("1 hour"), 60}});
  test_ = new QPushButton;
  rowsOf(signal)->addWidget(row(QStringLiteral("Style"), {}, style_));
  rowsOf(signal)->addWidget(row(QStringLiteral("Keep display on while signaling"), {}, keepDisplayOn_));
  rowsOf(signal)->addWidget(row(QStringLiteral("Stop signaling after"), {}, timeout_));
  rowsOf(signal)->addWidget(row(QStringLiteral("Try the signal"), {}, test_));
  layout->addWidget(signal);

  auto* integrations = section(QStringLiteral("Integrations"), this);
  claudeCode_ = new QPushButton;
  claudeCodeError_ = errorLine();
  copy_ = new QPushButton;
  rowsOf(integrations)
      ->addWidget(row(
          QStringLiteral("Claude Code"),
          QStringLiteral("Signals when Claude Code needs your permission or input; stops when you reply."),
          claudeCode_));
  rowsOf(integrations)->addWidget(claudeCodeError_);
  rowsOf(integrations)
      ->addWidget(
          row(QStringLiteral("Any Terminal command"),
              QStringLiteral("Run <code>halomark run -- &lt;command&gt;</code> to signal when a build or "
                             "script finishes."),
              copy_));
  layout->addWidget(integrations);

  onPick(style_, [this](int style) { model_.setSignalStyle(static_cast<Prefs::SignalStyle>(style)); });
  onToggle(keepDisplayOn_, &SettingsModel::setSignalKeepDisplayOn);
  onPick(timeout_, [this](int minutes) { model_.setSignalTimeout(minutes); });
  onClick(test_, [this] { model_.toggleTestSignal(); });
  onClick(claudeCode_, [this] { model_.setClaudeHook(!model_.values().claudeHookInstalled); });
  onClick(copy_, [this] { model_.copyRunCommand(); });
}

void SettingsSignalsTab::render(const SettingsValues& values) {
  for (auto [picker, value] :
       {std::pair{style_, int(values.signalStyle)}, {timeout_, values.signalTimeout}}) {
    QSignalBlocker quiet(picker);
    select(picker, value);
  }
  {
    QSignalBlocker quiet(keepDisplayOn_);
    keepDisplayOn_->setChecked(values.signalKeepDisplayOn);
  }
  test_->setText(values.isSignaling ? QStringLiteral("Stop") : QStringLiteral("Test"));
  claudeCode_->setText(values.claudeHookInstalled ? QStringLiteral("Remove") : QStringLiteral("Set Up"));
  showError(claudeCodeError_, QString::fromStdString(values.claudeHookError.value_or("")));
  copy_->setText(values.copiedRunCommand ? QStringLiteral("Copied") : QStringLiteral("Copy"));
}
