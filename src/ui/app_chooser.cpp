#include "ui/app_chooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "formats/app_identifier.h"
#include "ui/window_icons.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr QSize kIconSize(24, 24);

// Every icon the same size, small ones scaled up and centred, so the names line up.
QIcon uniform(const QIcon& icon, qreal scale) {
  QPixmap canvas(kIconSize * scale);
  canvas.setDevicePixelRatio(scale);
  canvas.fill(Qt::transparent);
  QPixmap picture = icon.pixmap(kIconSize, scale);
  if (!picture.isNull()) {
    QSizeF fitted = QSizeF(picture.size()).scaled(QSizeF(kIconSize), Qt::KeepAspectRatio);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPointF corner((kIconSize.width() - fitted.width()) / 2, (kIconSize.height() - fitted.height()) / 2);
    painter.drawPixmap(QRectF(corner, fitted), picture, QRectF(picture.rect()));
  }
  return QIcon(canvas);
}

}  // namespace

AppChooser::AppChooser(InstalledApplications& apps, QWidget* parent) : QDialog(parent), apps_(apps) {
  setWindowTitle(QStringLiteral("Choose an App"));
  auto* layout = new QVBoxLayout(this);
  search_ = new QLineEdit;
  search_->setPlaceholderText(QStringLiteral("Search"));
  search_->setClearButtonEnabled(true);
  search_->setAccessibleName(QStringLiteral("Search"));
  list_ = new QListWidget;
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setIconSize(kIconSize);
  list_->setAccessibleName(QStringLiteral("Applications"));
  for (const auto& app : apps_.all()) {
    // Turning the logo off while Halomark itself runs would turn it off for good.
    if (app.id == kAppIdentifier) continue;
    auto* item = new QListWidgetItem(uniform(WindowIcons::application(app.icon), devicePixelRatioF()),
                                     QString::fromStdString(app.name), list_);
    item->setData(kIdRole, QString::fromStdString(app.id));
    item->setToolTip(QString::fromStdString(app.id));
  }
  auto* buttons = new QDialogButtonBox;
  auto* fromFile = buttons->addButton(QStringLiteral("Choose File…"), QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  add_ = buttons->addButton(QStringLiteral("Add"), QDialogButtonBox::AcceptRole);
  add_->setDefault(true);
  add_->setEnabled(false);
  // Return adds, whatever has the focus; it never opens the file dialog.
  for (auto* button : buttons->buttons()) static_cast<QPushButton*>(button)->setAutoDefault(false);
  search_->installEventFilter(this);
  layout->addWidget(search_);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(420, 480);

  connect(search_, &QLineEdit::textChanged, this, &AppChooser::filter);
  connect(list_, &QListWidget::itemSelectionChanged, this, &AppChooser::trackSelection);
  connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
  connect(fromFile, &QPushButton::clicked, this, &AppChooser::chooseFiles);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(this, &QDialog::rejected, this, [this] { chosen_.clear(); });
}

std::vector<std::string> AppChooser::choose(InstalledApplications& apps, QWidget* parent) {
  AppChooser chooser(apps, parent);
  chooser.exec();
  return chooser.chosen();
}

bool AppChooser::eventFilter(QObject* watched, QEvent* event) {
  if (watched != search_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  int key = static_cast<QKeyEvent*>(event)->key();
  QListWidgetItem* first = nullptr;
  for (int i = 0; i < list_->count() && !first; ++i)
    if (!list_->item(i)->isHidden()) first = list_->item(i);
  if (key == Qt::Key_Down && first) {
    // From the search into the matches, the first one chosen.
    list_->setFocus(Qt::TabFocusReason);
    if (list_->selectedItems().isEmpty()) list_->setCurrentItem(first);
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->selectedItems().isEmpty() && first) {
    // The first match, as the search narrowed it.
    list_->setCurrentItem(first);
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void AppChooser::filter(const QString& text) {
  for (int i = 0; i < list_->count(); ++i) {
    auto* item = list_->item(i);
    bool matches = item->text().contains(text, Qt::CaseInsensitive) ||
                   item->data(kIdRole).toString().contains(text, Qt::CaseInsensitive);
    item->setHidden(!matches);
  }
}

void AppChooser::trackSelection() {
  // Keep the order of choosing: ids already chosen keep their place, new ones go last.
  std::vector<std::string> selected;
  for (auto* item : list_->selectedItems()) selected.push_back(item->data(kIdRole).toString().toStdString());
  std::erase_if(chosen_, [&](const auto& id) {
    return std::find(selected.begin(), selected.end(), id) == selected.end();
  });
  for (const auto& id : selected) {
    if (std::find(chosen_.begin(), chosen_.end(), id) == chosen_.end()) chosen_.push_back(id);
  }
  add_->setEnabled(!chosen_.empty());
}

void AppChooser::chooseFiles() {
  QString start = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
  if (!QDir(start).exists()) start = QStringLiteral("/usr/share/applications");
  auto paths = QFileDialog::getOpenFileNames(this, QStringLiteral("Choose an App"), start,
                                             QStringLiteral("Application entries (*.desktop)"));
  if (paths.isEmpty()) return;
  addFiles(paths);
  if (!chosen_.empty()) accept();
}

void AppChooser::addFiles(const QStringList& paths) {
  for (const auto& path : paths) {
    auto app = apps_.fromFile(path.toStdString());
    if (!app || std::find(chosen_.begin(), chosen_.end(), app->id) != chosen_.end()) continue;
    chosen_.push_back(app->id);
  }
}
