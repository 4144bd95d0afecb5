#pragma once

#include <QString>
#include <QTextStream>

#include <functional>
#include <optional>
#include <string>

#include "calendar/SyncSettings.h"

struct ProgramFolders;

// One calendar server pass from the command line, for cron and scripts.
struct SyncRequest {
    QString server; // empty: as the settings have it
    QString user;
    std::optional<std::string> passwordFile;
};

namespace SyncCommand {

enum Status { Done = 0, Failed = 1, Refused = 2, FolderHeld = 3 };

// The password for these settings from the desktop's secret store; nullopt when there is
// none.
using PasswordSource = std::function<std::optional<QString>(const SyncSettings&)>;

// Runs the pass on the data folder (a QCoreApplication must exist), keeping --server and
// --user in the settings and the store saved afterwards. Reasons go to errors, and so do
// the server's changes that were not taken.
Status Run(const ProgramFolders& folders, const SyncRequest& request,
           const PasswordSource& secretStore, QTextStream& errors);

} // namespace SyncCommand
