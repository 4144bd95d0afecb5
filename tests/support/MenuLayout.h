#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

// The menus of a dialog's menu bar, "-" for a separator; a direct entry stands alone.
inline QStringList MenuLayout(QMenuBar* bar) {
    QStringList menus;
    for (QAction* title : bar->actions()) {
        if (title->menu() == nullptr) {
            menus << title->text().remove('&');
            continue;
        }
        QStringList entries;
        for (QAction* a : title->menu()->actions()) {
            entries << (a->isSeparator() ? "-" : a->text().remove('&'));
        }
        menus << title->text().remove('&') + ": " + entries.join(", ");
    }
    return menus;
}
