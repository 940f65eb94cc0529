#include "platform/linux_services/feed_fetcher_linux.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

constexpr qint64 kReadBufferBytes = 64 * 1024;

bool isLoopback(const QUrl& url) {
  QString host = url.host();
  if (host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
  QHostAddress address;
  return address.setAddress(host) && address.isLoopback();
}

// Plain http would let anyone on the way forge a release; only this machine itself is trusted
// without TLS (which is what lets tests serve a feed locally).
bool isAllowed(const QUrl& url) {
  if (!url.isValid() || url.host().isEmpty()) return false;
  if (url.scheme() == "https") return true;
  return url.scheme() == "http" && isLoopback(url);
}

}  // namespace

LinuxFeedFetcher::LinuxFeedFetcher() {
  network_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

void LinuxFeedFetcher::fetch(const Request& request, std::function<void(Result)> done) {
  QUrl url(QString::fromStdString(request.url), QUrl::StrictMode);
  if (!isAllowed(url)) {
    QTimer::singleShot(
        0, [done] { done(Failure{"The update feed's address is not a secure (https) address."}); });
    return;
  }
  QNetworkRequest networkRequest(url);
  networkRequest.setTransferTimeout(static_cast<int>(request.timeoutSeconds * 1000));
  networkRequest.setMaximumRedirectsAllowed(5);
  QNetworkReply* reply = network_.get(networkRequest);
  // Qt holds at most this much unread; the body is taken as it arrives and counted, so a feed too
  // large is refused once the limit is passed, never buffered whole.
  reply->setReadBufferSize(kReadBufferBytes);
  // The reply reports once: a refusal below aborts it, and the abort's finished signal must not
  // report a second time.
  auto failure = std::make_shared<std::optional<Failure>>();
  auto body = std::make_shared<QByteArray>();
  auto refuse = [reply, failure](const std::string& reason) {
    if (!*failure) *failure = Failure{reason};
    reply->abort();
  };
  QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, refuse](const QUrl& target) {
    if (target.scheme() == "https") {
      emit reply->redirectAllowed();
    } else {
      refuse("The update feed redirected to an address that is not secure (https).");
    }
  });
  auto maxBytes = static_cast<qint64>(request.maxBytes);
  QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, refuse, maxBytes] {
    auto declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (declared.isValid() && declared.toLongLong() > maxBytes) refuse("The update feed is too large.");
  });
  auto take = [reply, body, refuse, maxBytes] {
    if (reply->bytesAvailable() > maxBytes - body->size()) return refuse("The update feed is too large.");
    body->append(reply->readAll());
  };
  QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
  // The inactivity limit lets a server that sends a byte now and then hold a check for ever.
  auto* deadline = new QTimer(reply);
  deadline->setSingleShot(true);
  QObject::connect(deadline, &QTimer::timeout, reply,
                   [refuse] { refuse("The update server didn't send the feed in time."); });
  deadline->start(static_cast<int>(request.deadlineSeconds * 1000));
  QObject::connect(reply, &QNetworkReply::finished, reply, [reply, failure, body, take, done] {
    reply->deleteLater();
    if (!*failure && reply->error() == QNetworkReply::NoError) take();
    if (*failure) return done(**failure);
    if (reply->error() == QNetworkReply::OperationCanceledError)
      return done(Failure{"The update server didn't answer in time."});
    if (reply->error() != QNetworkReply::NoError)
      return done(Failure{"The update feed couldn't be fetched: " + reply->errorString().toStdString()});
    done(std::string(body->constData(), static_cast<std::size_t>(body->size())));
  });
}
