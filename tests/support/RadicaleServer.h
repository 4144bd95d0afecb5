#pragma once

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <string>

#include "support/TempDir.h"

// A real CalDAV server (Radicale, no authentication) on a free loopback port, its
// collections in a temporary folder; stopped when it goes. Another client's requests go
// through curl, as a phone's would come.
class RadicaleServer {
public:
    struct Answer {
        int status = 0;
        QByteArray etag;
        QByteArray body;
    };

    // port 0: any free one.
    explicit RadicaleServer(int port = 0) : port_(port == 0 ? FreePort() : port) { Start(); }
    ~RadicaleServer() { Stop(); }
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    static int FreePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    void Start() {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start("/usr/bin/python3",
                       {"-m", "radicale", "--server-hosts",
                        QStringLiteral("127.0.0.1:%1").arg(port_), "--storage-filesystem-folder",
                        QString::fromStdString(folder_.path()), "--auth-type", "none",
                        "--logging-level", "error"});
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 15000) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
            if (socket.waitForConnected(200)) {
                started_ = true;
                return;
            }
            if (process_.state() == QProcess::NotRunning) {
                break;
            }
            QThread::msleep(50);
        }
        error_ = process_.readAll().toStdString();
    }
    // False (and the server's words in Error) when it did not answer in time.
    bool Started() const { return started_; }
    const std::string& Error() const { return error_; }
    void Stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    int Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

    // The event files of a user's calendar for a resource, by file name, as stored.
    QStringList Events(const std::string& user, int resourceId) const {
        return QDir(Calendar(user, resourceId)).entryList({"*.ics"}, QDir::Files, QDir::Name);
    }
    QString Calendar(const std::string& user, int resourceId) const {
        return QString::fromStdString(folder_.path()) + "/collection-root/" +
               QString::fromStdString(user) + "/tidemar-" + QString::number(resourceId);
    }

    // A request as another client makes it; path is under the server's root and starts
    // with the user's name.
    Answer Curl(const char* method, const QString& path, const QByteArray& body = {},
                const QStringList& headers = {}) const {
        // The same account as the planner's, from another device.
        QStringList arguments{"-s", "-D", "-", "-X", method, "-u", path.section('/', 1, 1) + ":pw"};
        for (const QString& header : headers) {
            arguments << "-H" << header;
        }
        if (!body.isEmpty()) {
            arguments << "-H"
                      << "Content-Type: text/calendar"
                      << "--data-binary"
                      << "@-";
        }
        arguments << QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
        QProcess curl;
        curl.start("curl", arguments);
        curl.write(body);
        curl.closeWriteChannel();
        curl.waitForFinished(10000);
        const QByteArray out = curl.readAllStandardOutput();
        Answer answer;
        const qsizetype split = out.indexOf("\r\n\r\n");
        const QList<QByteArray> lines = out.left(split).split('\n');
        answer.status = lines.isEmpty() ? 0 : lines.first().split(' ').value(1).toInt();
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("etag:")) {
                answer.etag = line.mid(5).trimmed();
            }
        }
        answer.body = split < 0 ? QByteArray() : out.mid(split + 4);
        return answer;
    }

private:
    TempDir folder_;
    int port_;
    QProcess process_;
    bool started_ = false;
    std::string error_;
};
