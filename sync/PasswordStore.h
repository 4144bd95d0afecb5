#pragma once

#include <QString>

#include <functional>

class QObject;

// The calendar server's password in the desktop's secret store (the Secret Service: GNOME
// Keyring, KWallet), under the service "Tidemar PE" and a key made of the user and the
// server, so two accounts keep two passwords. It is never written to a plain file: where no
// secret store answers, the answer says so instead.
class PasswordStore {
public:
    enum class Outcome { Done, NotFound, NoSecretStore, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        QString password; // what a read found
        QString error;    // in words, unless Done
    };
    using Callback = std::function<void(const Result&)>;

    static constexpr const char* kService = "Tidemar PE";
    static QString Key(const QString& user, const QString& server);

    // The answer comes later, on the event loop; not at all when the context is gone by then.
    static void Read(const QString& user, const QString& server, QObject* context, Callback done);
    static void Write(const QString& user, const QString& server, const QString& password,
                      QObject* context, Callback done);
    static void Remove(const QString& user, const QString& server, QObject* context, Callback done);

    // The same, waiting for the answer in a local event loop: for the command line.
    static Result ReadNow(const QString& user, const QString& server);
    static Result WriteNow(const QString& user, const QString& server, const QString& password);
    static Result RemoveNow(const QString& user, const QString& server);
};
