#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

#include "sync/DavReply.h"

class QNetworkAccessManager;

// The few CalDAV requests the sync makes, with Basic authentication. Every call answers
// once, on the event loop, through its callback; the callback is not called after the
// client is gone.
class CalDavClient : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const DavReply&)>;

    CalDavClient(QUrl server, const QString& user, const QString& password,
                 QObject* parent = nullptr);
    ~CalDavClient() override;

    // Why the server URL cannot be used (plain HTTP is only for this machine); empty when
    // it can.
    static QString Refusal(const QUrl& server);

    // An absolute URL of a path on the server.
    QUrl At(const QString& path) const;
    // The URL of the user's calendar for a resource.
    QUrl CalendarUrl(int resourceId) const;

    void Exists(const QUrl& collection, Done done); // PROPFIND depth 0
    void MakeCalendar(const QUrl& collection, const QString& name, Done done);
    // A new event (If-None-Match: *) when etag is empty, else a change of that version.
    void Put(const QUrl& url, const QByteArray& ics, const QByteArray& etag, Done done);
    void Delete(const QUrl& url, const QByteArray& etag, Done done);
    // The members changed since the token (all of them for an empty token).
    void SyncCollection(const QUrl& collection, const QString& token, Done done);
    // Every member and its ETag.
    void Etags(const QUrl& collection, Done done);
    void MultiGet(const QUrl& collection, const QStringList& hrefs, Done done);

    // Requests sent and not yet answered.
    int InFlight() const { return inFlight_; }

private:
    // A PROPFIND asking for one DAV property, such as "resourcetype".
    void Propfind(const QUrl& collection, const char* property, const char* depth, Done done);
    void Send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
              const QList<QPair<QByteArray, QByteArray>>& headers, Done done);

    QNetworkAccessManager* network_;
    QUrl server_;
    QString user_;
    QByteArray authorization_;
    int inFlight_ = 0;
};
