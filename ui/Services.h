#pragma once

#include <QString>

class ClsDate;
class ClsGlobal;
class ClsHelp;
class IWindowing;
class QWidget;
struct ProgramFolders;

// What a window is handed when it is made: the program-wide objects the main window owns, so
// that no window reaches them through another window. Every record change a window makes goes
// through `store`.
struct Services {
    ClsGlobal& store;
    IWindowing& windowing;
    ClsHelp& help;
    QString helpFile;
    const ClsDate& date;
    const ProgramFolders& folders;
    // The main window: the dialogs' parent and the owner of their help requests.
    QWidget* owner = nullptr;
};
