#include "sync/ServerAddress.h"

#include <QHostAddress>
#include <QObject>
#include <QUrl>

namespace {

bool IsLoopback(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
        host.compare(QLatin1String("localhost."), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

namespace ServerAddress {

QString Refusal(const QString& url) {
    const QString text = url.trimmed();
    if (text.isEmpty()) {
        return QObject::tr("Enter the calendar server's address.");
    }
    const QUrl parsed(text, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        return QObject::tr("\"%1\" is not a web address: it must start with https:// and name "
                           "the server.")
            .arg(text);
    }
    if (scheme == QLatin1String("http") && !IsLoopback(parsed.host())) {
        return QObject::tr("Plain http sends the password and the bookings unprotected, so it is "
                           "only for a server on this computer (localhost, 127.0.0.1 or ::1): "
                           "%1 needs https://.")
            .arg(parsed.host());
    }
    return QString();
}

} // namespace ServerAddress
