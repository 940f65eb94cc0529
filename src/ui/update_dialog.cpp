#include "ui/update_dialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

UpdateDialog::UpdateDialog(UpdateUserDriver& reminders, std::string currentDisplayVersion, QWidget* parent)
    : QDialog(parent), reminders_(reminders), currentDisplayVersion_(std::move(currentDisplayVersion)) {
  setWindowTitle(QStringLiteral("Software Update"));
  setMinimumWidth(420);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  headline_ = new QLabel(this);
  QFont bold = headline_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  headline_->setFont(bold);
  body_ = new QLabel(this);
  body_->setWordWrap(true);
  body_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  notes_ = new QLabel(this);
  notes_->setTextFormat(Qt::RichText);
  notes_->setOpenExternalLinks(true);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 0);
  progress_->setTextVisible(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  download_ = buttons->addButton(QStringLiteral("Download"), QDialogButtonBox::AcceptRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(download_, &QPushButton::clicked, this, [this] {
    QDesktopServices::openUrl(QUrl(downloadLink_));
    accept();
  });
  for (QWidget* widget : std::initializer_list<QWidget*>{headline_, body_, notes_, progress_})
    layout->addWidget(widget);
  layout->addSpacing(8);
  layout->addWidget(buttons);
}

void UpdateDialog::bringToFront() {
  show();
  raise();
  activateWindow();
}

void UpdateDialog::showCheck(const UpdateCheckState& state) {
  auto content = UpdateCheck::dialogContent(state, currentDisplayVersion_);
  headline_->setText(QString::fromStdString(content.headline));
  body_->setText(QString::fromStdString(content.body));
  body_->setVisible(!content.body.empty());
  QString notes = QString::fromStdString(content.releaseNotesLink);
  notes_->setText(QStringLiteral("<a href=\"%1\">Release Notes</a>").arg(notes.toHtmlEscaped()));
  notes_->setVisible(!notes.isEmpty());
  progress_->setVisible(content.busy);
  downloadLink_ = QString::fromStdString(content.downloadLink);
  download_->setVisible(!downloadLink_.isEmpty());
  if (!downloadLink_.isEmpty()) download_->setDefault(true);
  adjustSize();
  if (!isVisible()) bringToFront();
}
