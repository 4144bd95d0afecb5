#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class IWindowing;

// A context menu at the pointer that returns the chosen entry. Holds no state.
class ClsPopupMenu {
public:
    explicit ClsPopupMenu(IWindowing& windowing);

    // Shows the entries at the pointer, owned by the active window. Character i of `enable`
    // ("1" or anything else) enables or greys entry i; an entry that is "-" once its blanks
    // are trimmed is a separator. Separators take part in the numbering. Returns the 1-based
    // number of the chosen entry, 0 when the menu is dismissed or fails (a failure is logged).
    int32_t Popup(const QString& enable, const QStringList& entries);

private:
    IWindowing& windowing_;
};
