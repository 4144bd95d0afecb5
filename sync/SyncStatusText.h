#pragma once

#include <QString>

#include "sync/CalDavSync.h"

// The sync's state in words, the same in the status bar and in the server dialog.
namespace SyncStatusText {

// "Calendar: in step", "Calendar: 3 to send", "Calendar: server unreachable - retrying".
QString Label(const CalDavSync::Status& status);
// The last error, or when the last pass went through.
QString Tip(const CalDavSync::Status& status);

} // namespace SyncStatusText
