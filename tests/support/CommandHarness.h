#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStringList>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "support/ScriptedWindowing.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

// Checks any window's commands against a table the test writes: each row's menu, caption,
// shortcut, check mark, button and tip, that it is enabled, and what running it causes, by the
// menu entry or by a plain click on its button. The test fixture `T` has the scripted windowing
// as `ui`; `W` is the window, with `Action(W::Command)`, one menu bar and one toolbar.
namespace CommandHarness {

template <class T, class W> struct Row {
    const char* name;
    typename W::Command command;
    const char* menu;     // its menu's title, access key removed; "" for the bar itself
    const char* caption;  // access key removed, or marked to pin it
    const char* shortcut; // as Qt writes it, "" for none
    bool checkable;
    const char* key; // the toolbar button whose plain click runs it, null for none
    const char* tip;
    std::function<bool(T&, W&)> effect;
    std::function<void(T&, W&)> arrange = nullptr; // before its state is read and it runs
};

enum class By { Menu, Button };
inline const char* Name(By by) {
    return by == By::Menu ? "menu" : "button";
}

inline QMenuBar* MenuBarOf(QWidget& window) {
    const auto bars = window.findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly);
    return bars.size() == 1 ? bars[0] : nullptr;
}
inline KeyedToolBar* ToolBarOf(QWidget& window) {
    const auto bars = window.findChildren<KeyedToolBar*>(Qt::FindDirectChildrenOnly);
    return bars.size() == 1 ? bars[0] : nullptr;
}

// The menu holding the action ("" for the bar itself, "?" for nowhere).
inline QString MenuOf(QMenuBar* bar, QAction* action) {
    for (QAction* title : bar->actions()) {
        if (title == action) {
            return "";
        }
        if (title->menu() != nullptr && title->menu()->actions().contains(action)) {
            return title->text().remove('&');
        }
    }
    return "?";
}

// The menus in order, "-" for a separator; a direct entry of the bar stands alone.
inline QStringList Menus(QMenuBar* bar) {
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

// In the menu bar and in every menu and submenu each entry has an access key no other entry
// of it has (Alt+O, Enter, 5 must choose one page size, not cycle between two).
inline void ExpectAccessKeysDiffer(const QString& path, const QList<QAction*>& entries) {
    QSet<QChar> keys;
    for (QAction* a : entries) {
        if (a->isSeparator() || !a->isVisible()) {
            continue;
        }
        const QString text = a->text().replace("&&", "");
        const qsizetype at = text.indexOf('&');
        ASSERT_TRUE(at >= 0 && at + 1 < text.size()) << (path + text).toStdString();
        const QChar key = text.at(at + 1).toLower();
        EXPECT_FALSE(keys.contains(key)) << (path + text).toStdString();
        keys.insert(key);
        if (a->menu() != nullptr) {
            ExpectAccessKeysDiffer(path + text + " > ", a->menu()->actions());
        }
    }
}

// The menus and the toolbar's buttons in order ("|" a separator), access keys that differ
// within each menu, and buttons Tab passes by, so Space cannot fire one.
inline void ExpectMenusAndToolBar(QWidget& window, const QStringList& menus,
                                  const QString& toolBar) {
    QMenuBar* bar = MenuBarOf(window);
    KeyedToolBar* buttons = ToolBarOf(window);
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(Menus(bar), menus);
    EXPECT_EQ(buttons->Layout().join(" "), toolBar);
    ExpectAccessKeysDiffer(QString(window.metaObject()->className()) + ": ", bar->actions());
    for (QToolButton* button : buttons->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->focusPolicy() & Qt::TabFocus) << button->text().toStdString();
    }
}

inline void ClickPlain(QToolButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

// What a click on the button's drop-down part offers, a greyed entry marked "(disabled)"; the
// scripted windowing chooses the entry numbered `choice` from 1.
inline QStringList DropDownOffers(ScriptedWindowing& ui, DropDownToolButton* button, int choice) {
    ui.popups.clear();
    ui.popupResults = {choice};
    QTest::mouseClick(button, Qt::LeftButton, {}, {button->width() - 3, button->height() / 2});
    QStringList captions;
    for (const auto& popup : ui.popups) {
        for (const auto& entry : popup.entries) {
            captions << (entry.enabled ? entry.text : entry.text + " (disabled)");
        }
    }
    return captions;
}

// The row as the window shows it, then its effect when run by the menu or its button.
template <class T, class W>
void Check(std::type_identity_t<T>& test, std::type_identity_t<W>& window, const Row<T, W>& row,
           By by) {
    SCOPED_TRACE(std::string(row.name) + " by " + Name(by));
    QAction* action = window.Action(row.command);
    ASSERT_NE(action, nullptr);
    // Some commands are greyed until there is something for them to work on.
    if (row.arrange) {
        row.arrange(test, window);
    }
    const QString caption(row.caption);
    EXPECT_EQ(caption.contains('&') ? action->text() : action->text().remove('&'), caption);
    EXPECT_EQ(action->shortcut().toString().toStdString(), row.shortcut);
    EXPECT_EQ(action->isCheckable(), row.checkable);
    EXPECT_TRUE(action->isEnabled());
    QMenuBar* bar = MenuBarOf(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuOf(bar, action), row.menu);
    DropDownToolButton* button = nullptr;
    if (by == By::Button) {
        KeyedToolBar* buttons = ToolBarOf(window);
        ASSERT_TRUE(buttons != nullptr && row.key != nullptr);
        button = buttons->Button(row.key);
        ASSERT_NE(button, nullptr) << row.key;
        EXPECT_EQ(button->toolTip(), row.tip);
        EXPECT_TRUE(button->isEnabled());
        EXPECT_FALSE(button->icon().isNull());
    }
    by == By::Menu ? action->trigger() : ClickPlain(button);
    EXPECT_TRUE(row.effect(test, window)) << test.ui.log.join(", ").toStdString();
}

// Every row run by its menu entry, and by its button if it has one: one test case each, on a
// fresh fixture.
template <class R> struct Case {
    const R* row;
    By by;
};
template <class R> void PrintTo(const Case<R>& c, std::ostream* os) {
    *os << c.row->name << " by " << Name(c.by);
}
template <class R, std::size_t N> std::vector<Case<R>> Cases(const R (&rows)[N]) {
    std::vector<Case<R>> cases;
    for (const R& row : rows) {
        cases.push_back({&row, By::Menu});
        if (row.key != nullptr) {
            cases.push_back({&row, By::Button});
        }
    }
    return cases;
}
template <class R> std::string CaseName(const ::testing::TestParamInfo<Case<R>>& info) {
    return std::string(info.param.row->name) + (info.param.by == By::Menu ? "Menu" : "Button");
}

} // namespace CommandHarness
