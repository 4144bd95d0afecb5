// The server's client: the password goes to the server named and to no other.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

#include "sync/CalDavClient.h"

namespace {

// Answers every request with the one canned answer and keeps what it was sent.
class Canned : public QTcpServer {
public:
    explicit Canned(QByteArray answer) : answer_(std::move(answer)) {
        connect(this, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, [this, socket] {
                received += socket->readAll();
                if (received.contains("\r\n\r\n")) {
                    socket->write(answer_);
                    socket->disconnectFromHost();
                }
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QByteArray received;

private:
    QByteArray answer_;
};

TEST(CalDavClientTest, ARedirectToAnotherServerGetsNoPassword) {
    Canned elsewhere("HTTP/1.1 207 Multi-Status\r\nContent-Length: 0\r\n\r\n");
    Canned server("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:" +
                  QByteArray::number(elsewhere.serverPort()) +
                  "/dav/\r\nContent-Length: 0\r\n\r\n");
    CalDavClient client(QUrl("http://127.0.0.1:" + QString::number(server.serverPort()) + "/dav/"),
                        "ann", "secret");
    bool done = false;
    int status = -1;
    client.Exists(client.CalendarUrl(1), [&](const DavReply& reply) {
        done = true;
        status = reply.status;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    EXPECT_TRUE(server.received.contains("Authorization: Basic"));
    EXPECT_FALSE(elsewhere.received.contains("Authorization")) << elsewhere.received.toStdString();
    EXPECT_NE(status, 207);
}

// A server cannot make the planner hold an answer of any size.
TEST(CalDavClientTest, AnAnswerOverTheLimitIsNotRead) {
    Canned server("HTTP/1.1 207 Multi-Status\r\nContent-Length: 100000000\r\n\r\n<multistatus>");
    CalDavClient client(QUrl("http://127.0.0.1:" + QString::number(server.serverPort()) + "/dav/"),
                        "ann", "secret");
    std::optional<DavReply> got;
    client.Exists(client.CalendarUrl(1), [&](const DavReply& reply) { got = reply; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 10000));
    EXPECT_EQ(got->status, 0);
    EXPECT_TRUE(got->body.isEmpty());
    EXPECT_TRUE(got->error.contains("over 64 MB")) << got->error.toStdString();
}

} // namespace
