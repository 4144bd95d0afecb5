#include "sync/DavReply.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace {

constexpr QStringView kDav = u"DAV:";
constexpr QStringView kCalDav = u"urn:ietf:params:xml:ns:caldav";

// "HTTP/1.1 404 Not Found" -> 404.
int StatusOf(const QString& line) {
    const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

} // namespace

DavReply::MultiStatus DavReply::Parse() const {
    MultiStatus result;
    QXmlStreamReader xml(body);
    Entry entry;
    int propStatus = 0;
    bool inResponse = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView ns = xml.namespaceUri();
            const QStringView name = xml.name();
            if (ns == kDav && name == u"multistatus") {
                result.ok = true;
            } else if (ns == kDav && name == u"response") {
                inResponse = true;
                entry = Entry();
                propStatus = 0;
            } else if (ns == kDav && name == u"href" && inResponse) {
                entry.href = QUrl::fromPercentEncoding(xml.readElementText().trimmed().toUtf8());
            } else if (ns == kDav && name == u"status" && inResponse) {
                propStatus = StatusOf(xml.readElementText());
            } else if (ns == kDav && name == u"getetag") {
                entry.etag = xml.readElementText().trimmed().toUtf8();
            } else if (ns == kCalDav && name == u"calendar-data") {
                entry.calendarData = xml.readElementText().toUtf8();
            } else if (ns == kDav && name == u"sync-token" && !inResponse) {
                result.syncToken = xml.readElementText().trimmed();
            }
        } else if (xml.isEndElement()) {
            const QStringView name = xml.name();
            // A response holds a status of its own (a removed member) or one per propstat;
            // the found props' 200 wins over the missing ones' 404.
            if (name == u"propstat" && (entry.status == 0 || propStatus == 200)) {
                entry.status = propStatus;
            } else if (name == u"response" && entry.status == 0) {
                entry.status = propStatus;
            }
            if (xml.namespaceUri() == kDav && name == u"response") {
                inResponse = false;
                result.entries.append(entry);
            }
        }
    }
    if (xml.hasError()) {
        result.ok = false;
        result.entries.clear();
    }
    return result;
}
