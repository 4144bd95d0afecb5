#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The program's pictures, drawn in code so there are no image files to lose. Icons are drawn
// on a 24-unit grid and rendered for 16, 24, 32 and 48 pixels.
class Icons {
public:
    // The toolbar and menu icon for a command key ("Exit", "Undo", "Redo", "Configure", "Resource",
    // "Appointment", "Date", "Today", "Search", "View", "Zoom", "Print", "Help"; the dialogs'
    // "Save", "Select", "Cancel", "Customer", "Type", "Delete"; and the print preview's
    // "PrevWeek", "PrevDay", "Calendar", "NextDay", "NextWeek", "PrevPage", "NextPage"); a
    // null icon for any other key.
    static QIcon ForKey(const QString& key);

    // The keys ForKey knows: the main window's in toolbar order, then the dialogs', then the
    // preview's.
    static QStringList Keys();

    // One rendering of the icon at the given pixel size; a null pixmap for an unknown key.
    static QPixmap Render(const QString& key, int size);

    // The About box picture: a stylised schedule, size x size pixels.
    static QPixmap AboutPicture(int size);
};
