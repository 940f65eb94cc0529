#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/application_icon.h"

AboutDialog::AboutDialog(const QString& shortVersion, const QString& buildVersion, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Halomark"));
  setWindowIcon(ApplicationIcon::icon());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 16);
  auto* icon = new QLabel(this);
  icon->setPixmap(ApplicationIcon::icon().pixmap(QSize(96, 96), devicePixelRatioF()));
  icon->setAlignment(Qt::AlignHCenter);
  auto* name = new QLabel(QStringLiteral("Halomark"), this);
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  name->setFont(bold);
  name->setAlignment(Qt::AlignHCenter);
  auto* version = new QLabel(QStringLiteral("Version %1 (%2)").arg(shortVersion, buildVersion), this);
  version->setAlignment(Qt::AlignHCenter);
  version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  // Under the centred name and version, not at the right as in a form.
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (QWidget* widget :
       {static_cast<QWidget*>(icon), static_cast<QWidget*>(name), static_cast<QWidget*>(version)})
    layout->addWidget(widget);
  layout->addSpacing(8);
  layout->addWidget(buttons);
}
