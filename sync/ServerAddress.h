#pragma once

#include <QString>

// Whether the calendar server's address may be used: https anywhere, plain http only to this
// computer (localhost, 127.0.0.0/8, ::1), where nothing crosses a network. The dialog and the
// sync engine ask the same question, so an address one accepts the other never refuses.
namespace ServerAddress {

// Why the address may not be used, in words for the user; empty when it may.
QString Refusal(const QString& url);

} // namespace ServerAddress
