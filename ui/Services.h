#pragma once

#include <QString>

class ClsDate;
class ClsGlobal;
class ClsHelp;
class StoreChanges;
class IWindowing;
class QWidget;
struct ProgramFolders;

// What a window is handed when it is made: the program-wide objects the main window owns, so
// that no window reaches them through another window. A window reads the store and changes it
// only through `changes`, which tells every view what changed.
struct Services {
    const ClsGlobal& store;
    StoreChanges& changes;
    IWindowing& windowing;
    ClsHelp& help;
    QString helpFile;
    const ClsDate& date;
    const ProgramFolders& folders;
    // The main window: the dialogs' parent and the owner of their help requests.
    QWidget* owner = nullptr;
};
