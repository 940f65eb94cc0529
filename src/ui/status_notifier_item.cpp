#include "ui/status_notifier_item.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QtEndian>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

void registerTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    // The adaptor's properties name the list by this name.
    qRegisterMetaType<SniPixmaps>("SniPixmaps");
    return true;
  }();
  (void)registered;
}

}  // namespace

SniPixmap SniPixmap::fromImage(const QImage& image) {
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  SniPixmap pixmap{argb.width(), argb.height(), QByteArray()};
  pixmap.argb.resize(qsizetype(argb.width()) * argb.height() * 4);
  auto* out = reinterpret_cast<quint32*>(pixmap.argb.data());
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) *out++ = qToBigEndian(line[x]);
  }
  return pixmap;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap) {
  argument.beginStructure();
  argument << pixmap.width << pixmap.height << pixmap.argb;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap) {
  argument.beginStructure();
  argument >> pixmap.width >> pixmap.height >> pixmap.argb;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip) {
  argument.beginStructure();
  argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip) {
  argument.beginStructure();
  argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
  argument.endStructure();
  return argument;
}

// The org.kde.StatusNotifierItem interface of the item (the name hosts and Qt use; the
// freedesktop draft's org.freedesktop name is not spoken by any host).
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ category)
  Q_PROPERTY(QString Id READ id)
  Q_PROPERTY(QString Title READ title)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(int WindowId READ windowId)
  Q_PROPERTY(QString IconThemePath READ iconThemePath)
  Q_PROPERTY(QDBusObjectPath Menu READ menu)
  Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
  Q_PROPERTY(QString IconName READ iconName)
  Q_PROPERTY(SniPixmaps IconPixmap READ iconPixmap)
  Q_PROPERTY(QString OverlayIconName READ none)
  Q_PROPERTY(SniPixmaps OverlayIconPixmap READ noPixmaps)
  Q_PROPERTY(QString AttentionIconName READ none)
  Q_PROPERTY(SniPixmaps AttentionIconPixmap READ noPixmaps)
  Q_PROPERTY(QString AttentionMovieName READ none)
  Q_PROPERTY(SniToolTip ToolTip READ toolTip)

 public:
  explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), item_(item) {
    connect(item, &StatusNotifierItem::iconChanged, this, &StatusNotifierItemAdaptor::NewIcon);
    connect(item, &StatusNotifierItem::toolTipChanged, this, &StatusNotifierItemAdaptor::NewToolTip);
  }

  QString category() const { return QStringLiteral("Hardware"); }
  QString id() const { return item_->id(); }
  QString title() const { return item_->title(); }
  QString status() const { return QStringLiteral("Active"); }
  int windowId() const { return 0; }
  QString iconThemePath() const { return item_->iconThemePath(); }
  QDBusObjectPath menu() const { return QDBusObjectPath(item_->menuPath()); }
  bool itemIsMenu() const { return false; }
  QString iconName() const { return item_->iconName(); }
  SniPixmaps iconPixmap() const { return item_->pixmaps(); }
  QString none() const { return {}; }
  SniPixmaps noPixmaps() const { return {}; }
  SniToolTip toolTip() const { return item_->toolTip(); }

 public Q_SLOTS:
  void Activate(int x, int y) { Q_EMIT item_->activated(QPoint(x, y)); }
  void SecondaryActivate(int x, int y) { Q_EMIT item_->secondaryActivated(QPoint(x, y)); }
  void ContextMenu(int x, int y) { Q_EMIT item_->contextMenuRequested(QPoint(x, y)); }
  // The wheel means nothing here: the slider in the popup is the way to set a level.
  void Scroll(int, const QString&) {}
  void ProvideXdgActivationToken(const QString&) {}

 Q_SIGNALS:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  StatusNotifierItem* item_;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QString id, QString title, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), id_(std::move(id)), title_(std::move(title)) {
  registerTypes();
  toolTip_.title = title_;
  new StatusNotifierItemAdaptor(this);
}

StatusNotifierItem::~StatusNotifierItem() {
  if (!menuPath_.isEmpty()) bus_.unregisterObject(QString::fromLatin1(kPath));
}

bool StatusNotifierItem::publish(const QString& menuPath) {
  menuPath_ = menuPath;
  if (!bus_.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportAdaptors)) return false;
  watcher_ = new QDBusServiceWatcher(kWatcher, bus_, QDBusServiceWatcher::WatchForRegistration, this);
  connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierItem::registerWithWatcher);
  registerWithWatcher();
  return true;
}

void StatusNotifierItem::registerWithWatcher() {
  auto call = QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                                             QStringLiteral("RegisterStatusNotifierItem"));
  // By unique name: the host then finds the item at the standard path.
  call << bus_.baseService();
  bus_.call(call, QDBus::NoBlock);
}

void StatusNotifierItem::setIcon(const QString& name, const SniPixmaps& pixmaps) {
  iconName_ = name;
  pixmaps_ = pixmaps;
  toolTip_.iconName = name;
  Q_EMIT iconChanged();
}

void StatusNotifierItem::setIconThemePath(const QString& themePath) { iconThemePath_ = themePath; }

void StatusNotifierItem::setToolTip(const QString& title, const QString& text) {
  if (toolTip_.title == title && toolTip_.text == text) return;
  toolTip_.title = title;
  toolTip_.text = text;
  Q_EMIT toolTipChanged();
}

#include "status_notifier_item.moc"
