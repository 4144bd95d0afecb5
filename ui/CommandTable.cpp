#include "ui/CommandTable.h"

#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <algorithm>

#include "ui/ClsPopupMenu.h"
#include "widgets/DropDownToolButton.h"

QKeySequence Shortcut::Sequence() const {
    if (standard != QKeySequence::UnknownKey) {
        return QKeySequence(standard);
    }
    return combined != 0 ? QKeySequence(QKeyCombination::fromCombined(combined)) : QKeySequence();
}

QAction* CommandTable::Add(QWidget& window, int command, const char* menu, const char* caption,
                           Shortcut shortcut, unsigned flags, const char* key, const char* tip) {
    auto* action = new QAction(QString::fromUtf8(caption), &window);
    action->setShortcut(shortcut.Sequence());
    action->setCheckable((flags & Cmd::Checkable) != 0);
    // A shortcut works anywhere in the window, not only while a menu holds the entry.
    if (!action->shortcut().isEmpty()) {
        window.addAction(action);
    }
    entries_.push_back({command, menu, flags, key, tip, action});
    if (command >= static_cast<int>(byCommand_.size())) {
        byCommand_.resize(static_cast<size_t>(command) + 1, nullptr);
    }
    byCommand_[static_cast<size_t>(command)] = action;
    return action;
}

QAction* CommandTable::Action(int command) const {
    return command >= 0 && command < static_cast<int>(byCommand_.size())
               ? byCommand_[static_cast<size_t>(command)]
               : nullptr;
}

void CommandTable::BuildMenus(QMenuBar* bar) const {
    // Each menu and submenu by its path of titles.
    std::vector<std::pair<QString, QMenu*>> menus;
    const auto menuOf = [&](const QString& path) {
        QMenu* menu = nullptr;
        QString prefix;
        for (const QString& title : path.split(u'>')) {
            prefix += (prefix.isEmpty() ? QString() : QStringLiteral(">")) + title;
            auto known = std::find_if(menus.begin(), menus.end(),
                                      [&](const auto& m) { return m.first == prefix; });
            if (known != menus.end()) {
                menu = known->second;
                continue;
            }
            menu = menu == nullptr ? bar->addMenu(title) : menu->addMenu(title);
            menus.emplace_back(prefix, menu);
        }
        return menu;
    };
    for (const Entry& e : entries_) {
        if (e.menu == nullptr) {
            continue;
        }
        if (*e.menu == '\0') {
            bar->addAction(e.action);
            continue;
        }
        QMenu* menu = menuOf(QString::fromUtf8(e.menu));
        if ((e.flags & Cmd::SeparatorBefore) != 0) {
            menu->addSeparator();
        }
        menu->addAction(e.action);
    }
}

void CommandTable::AddButtons(KeyedToolBar* toolBar, const char* layout) const {
    toolBar->setWindowTitle(KeyedToolBar::tr("Toolbar"));
    for (const QString& key : QString::fromUtf8(layout).split(u' ', Qt::SkipEmptyParts)) {
        if (key == u"|") {
            toolBar->addSeparator();
            continue;
        }
        for (const Entry& e : entries_) {
            if (e.key != nullptr && key == QLatin1String(e.key)) {
                DropDownToolButton* button = toolBar->AddButton(key, QString::fromUtf8(e.tip),
                                                                (e.flags & Cmd::DropDown) != 0);
                button->setCheckable((e.flags & Cmd::Checkable) != 0);
                // A screen reader says the command as the menu names it; the tip, which may
                // be switched off, and the command's key stay its description.
                const QString name = e.action->text().remove(u'&').remove(QLatin1String("..."));
                QString about = QString::fromUtf8(e.tip);
                if (about == name) {
                    about.clear();
                }
                const QString keys = e.action->shortcut().toString(QKeySequence::NativeText);
                if (!keys.isEmpty()) {
                    about += (about.isEmpty() ? QString() : QStringLiteral(" ")) +
                             QStringLiteral("(%1)").arg(keys);
                }
                button->setAccessibleName(name);
                button->setAccessibleDescription(about);
            }
        }
    }
}

void CommandTable::ToolBarClick(const QString& key, bool flag) const {
    for (const Entry& e : entries_) {
        if (e.key == nullptr || key != QLatin1String(e.key)) {
            continue;
        }
        if (flag && (e.flags & Cmd::DropDown) != 0) {
            PopupSectionOf(e.command);
        } else {
            e.action->trigger();
        }
        return;
    }
}

void CommandTable::PopupSectionOf(int command) const {
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.command == command; });
    if (at == entries_.end()) {
        return;
    }
    const auto sameMenu = [&](const Entry& e) {
        return e.menu != nullptr && at->menu != nullptr && qstrcmp(e.menu, at->menu) == 0;
    };
    auto first = at;
    while (first != entries_.begin() && (first->flags & Cmd::SeparatorBefore) == 0 &&
           sameMenu(*(first - 1))) {
        --first;
    }
    auto last = at + 1;
    while (last != entries_.end() && (last->flags & Cmd::SeparatorBefore) == 0 && sameMenu(*last)) {
        ++last;
    }
    QStringList captions;
    QString enable;
    for (auto e = first; e != last; ++e) {
        captions << e->action->text().remove(u'&');
        enable += e->action->isEnabled() ? u'1' : u'0';
    }
    const int32_t chosen = ClsPopupMenu(windowing_).Popup(enable, captions);
    if (chosen >= 1 && chosen <= captions.size()) {
        (first + (chosen - 1))->action->trigger();
    }
}
