#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One answer of a WebDAV server, and the parts of a multistatus body the sync reads.
struct DavReply {
    int status = 0;  // the HTTP status; 0 when no answer came
    QString error;   // why no usable answer came (network, certificate), in words
    QByteArray etag; // the ETag header
    QByteArray body;

    bool Ok() const { return status >= 200 && status < 300; }

    struct Entry {
        QString href;   // the path as the server gave it, percent-decoded
        int status = 0; // the response's (or its first propstat's) status
        QByteArray etag;
        QByteArray calendarData;
    };
    struct MultiStatus {
        bool ok = false; // false when the body is no multistatus
        QList<Entry> entries;
        QString syncToken;
    };
    MultiStatus Parse() const;
};
