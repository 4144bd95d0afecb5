#include "sync/CalDavClient.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>

#include "sync/ServerAddress.h"

namespace {

constexpr int kTimeoutMs = 30000;
// A server's answer is held whole in memory: one bigger than this is cut off, not read.
constexpr qint64 kMaxAnswer = 64 * 1024 * 1024;

QByteArray Escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

CalDavClient::CalDavClient(QUrl server, const QString& user, const QString& password,
                           QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), server_(std::move(server)),
      user_(user) {
    if (!server_.path().endsWith(u'/')) {
        server_.setPath(server_.path() + u'/');
    }
    authorization_ = "Basic " + (user + u':' + password).toUtf8().toBase64();
    // Answers on this machine come at once; a proxy from the environment would only be in
    // the way of them.
    if (Refusal(server_).isEmpty() && server_.scheme() == u"http") {
        network_->setProxy(QNetworkProxy::NoProxy);
    }
}

CalDavClient::~CalDavClient() = default;

QString CalDavClient::Refusal(const QUrl& server) {
    // The same rule as the settings dialog's, so an address it saved is never refused here.
    return ServerAddress::Refusal(server.toString());
}

QUrl CalDavClient::At(const QString& path) const {
    QUrl url = server_;
    url.setPath(path);
    return url;
}

QUrl CalDavClient::CalendarUrl(int resourceId) const {
    QUrl url = server_;
    url.setPath(server_.path() + user_ + QStringLiteral("/tidemar-") + QString::number(resourceId) +
                QLatin1Char('/'));
    return url;
}

void CalDavClient::Propfind(const QUrl& collection, const char* property, const char* depth,
                            Done done) {
    Send("PROPFIND", collection,
         QByteArray(R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:"><d:prop>)"
                    "<d:") +
             property + "/></d:prop></d:propfind>",
         {{"Depth", depth}}, std::move(done));
}

void CalDavClient::Exists(const QUrl& collection, Done done) {
    Propfind(collection, "resourcetype", "0", std::move(done));
}

void CalDavClient::MakeCalendar(const QUrl& collection, const QString& name, Done done) {
    Send("MKCALENDAR", collection,
         R"(<?xml version="1.0" encoding="utf-8"?><c:mkcalendar xmlns:d="DAV:" )"
         R"(xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><d:displayname>)" +
             Escaped(name) +
             R"(</d:displayname><c:supported-calendar-component-set><c:comp name="VEVENT"/>)"
             R"(</c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>)",
         {}, std::move(done));
}

void CalDavClient::Put(const QUrl& url, const QByteArray& ics, const QByteArray& etag, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    headers.append(etag.isEmpty() ? QPair<QByteArray, QByteArray>{"If-None-Match", "*"}
                                  : QPair<QByteArray, QByteArray>{"If-Match", etag});
    Send("PUT", url, ics, headers, std::move(done));
}

void CalDavClient::Delete(const QUrl& url, const QByteArray& etag, Done done) {
    QList<QPair<QByteArray, QByteArray>> headers;
    if (!etag.isEmpty()) {
        headers.append({"If-Match", etag});
    }
    Send("DELETE", url, {}, headers, std::move(done));
}

void CalDavClient::SyncCollection(const QUrl& collection, const QString& token, Done done) {
    Send("REPORT", collection,
         R"(<?xml version="1.0" encoding="utf-8"?><d:sync-collection xmlns:d="DAV:">)"
         R"(<d:sync-token>)" +
             Escaped(token) +
             R"(</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>)"
             R"(</d:sync-collection>)",
         {{"Depth", "1"}}, std::move(done));
}

void CalDavClient::Etags(const QUrl& collection, Done done) {
    Propfind(collection, "getetag", "1", std::move(done));
}

void CalDavClient::MultiGet(const QUrl& collection, const QStringList& hrefs, Done done) {
    QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?><c:calendar-multiget xmlns:d="DAV:" )"
        R"(xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><d:getetag/><c:calendar-data/>)"
        R"(</d:prop>)";
    for (const QString& href : hrefs) {
        body += "<d:href>" + Escaped(QString::fromUtf8(QUrl::toPercentEncoding(href, "/"))) +
                "</d:href>";
    }
    body += "</c:calendar-multiget>";
    Send("REPORT", collection, body, {{"Depth", "1"}}, std::move(done));
}

void CalDavClient::Send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                        const QList<QPair<QByteArray, QByteArray>>& headers, Done done) {
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", authorization_);
    request.setTransferTimeout(kTimeoutMs);
    // The password goes in a header of our own, which a redirect would carry along: only
    // to the same scheme, host and port.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    if (!body.isEmpty() && !request.hasRawHeader("Content-Type")) {
        request.setRawHeader("Content-Type", "application/xml; charset=utf-8");
    }
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network_->sendCustomRequest(request, verb, body);
    ++inFlight_;
    // Certificate problems are kept to be told; they are never ignored, so the request
    // then ends with an error.
    auto certificate = std::make_shared<QString>();
    connect(reply, &QNetworkReply::sslErrors, this, [certificate](const QList<QSslError>& errors) {
        for (const QSslError& e : errors) {
            *certificate +=
                (certificate->isEmpty() ? QString() : QStringLiteral("; ")) + e.errorString();
        }
    });
    auto tooBig = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [reply, tooBig](qint64 received, qint64 total) {
                if (!*tooBig && (received > kMaxAnswer || total > kMaxAnswer)) {
                    *tooBig = true;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, certificate, tooBig, url, done = std::move(done)] {
                --inFlight_;
                reply->deleteLater();
                DavReply answer;
                answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                answer.etag = reply->rawHeader("ETag");
                answer.body = reply->readAll();
                if (*tooBig) {
                    answer = DavReply{};
                    answer.error = tr("The answer from %1 is over %2 MB; it was not read.")
                                       .arg(url.host())
                                       .arg(kMaxAnswer / (1024 * 1024));
                } else if (!certificate->isEmpty()) {
                    answer.status = 0;
                    answer.error =
                        tr("The server's certificate is not trusted: %1").arg(*certificate);
                } else if (answer.status == 0) {
                    answer.error =
                        tr("No answer from %1: %2").arg(url.host(), reply->errorString());
                }
                done(answer);
            });
}
