#include "ui/ClsPopupMenu.h"

#include <QApplication>
#include <QList>
#include <QPoint>
#include <exception>
#include <limits>
#include <string>

#include "base/Error.h"
#include "base/ModError.h"
#include "platform/IWindowing.h"
#include "ui/Blanks.h"

namespace {

bool IsSeparator(const QString& text) {
    return TrimBlanks(text) == u"-";
}

void LogFailure(const Error& error) {
    ModError::LogError("ClsPopupMenu", "Popup", error);
}

} // namespace

ClsPopupMenu::ClsPopupMenu(IWindowing& windowing) : windowing_(windowing) {}

int32_t ClsPopupMenu::Popup(const QString& enable, const QStringList& entries) {
    try {
        if (entries.size() > std::numeric_limits<int32_t>::max()) {
            LogFailure(MakeError(ErrorNumber::Overflow));
            return 0;
        }
        const QPoint position = windowing_.CursorPos();
        QList<IWindowing::MenuEntry> items;
        items.reserve(entries.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            IWindowing::MenuEntry item;
            item.id = static_cast<int>(i + 1);
            item.text = entries.at(i);
            item.isSeparator = IsSeparator(item.text);
            item.enabled = !item.isSeparator && i < enable.size() && enable.at(i) == u'1';
            items.append(item);
        }
        const int chosen = windowing_.PopupMenu(QApplication::activeWindow(), position, items);
        if (chosen == 0) {
            return 0;
        }
        // Only an enabled text entry can be chosen; anything else is a fault of the menu.
        if (chosen < 0 || chosen > items.size() || !items.at(chosen - 1).enabled) {
            LogFailure(Error{ErrorNumber::InvalidCall, "Popup menu returned entry " +
                                                           std::to_string(chosen) +
                                                           ", which cannot be chosen"});
            return 0;
        }
        return chosen;
    } catch (const std::exception& e) {
        LogFailure(Error{ErrorNumber::InvalidCall, e.what()});
        return 0;
    }
}
