#pragma once

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QString>

#include <cstddef>
#include <vector>

#include "widgets/KeyedToolBar.h"

class IWindowing;
class QMenuBar;
class QWidget;

// A key, a key combination or a key the platform names (Print, Find); none when empty. Kept
// as numbers, so a table of them can be made before the application exists.
struct Shortcut {
    constexpr Shortcut() = default;
    constexpr Shortcut(QKeySequence::StandardKey key) : standard(key) {}
    constexpr Shortcut(Qt::Key key) : combined(key) {}
    constexpr Shortcut(QKeyCombination keys) : combined(keys.toCombined()) {}

    QKeySequence Sequence() const;

    QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
    int combined = 0;
};

// What a command row may say besides its texts.
namespace Cmd {
enum Flags : unsigned {
    Plain = 0,
    Checkable = 1,       // the entry and its button carry a check mark
    SeparatorBefore = 2, // a separator above the entry in its menu
    DropDown = 4,        // its button's drop-down part offers the entry's menu section
};
} // namespace Cmd

// A command's handler: a member of the window, or a member taking the item's index.
template <class Window> struct CommandHandler {
    constexpr CommandHandler(void (Window::*run)()) : plain(run) {}
    constexpr CommandHandler(void (Window::*run)(int), int item) : indexed(run), index(item) {}

    void (Window::*plain)() = nullptr;
    void (Window::*indexed)(int) = nullptr;
    int index = 0;
};

// One command of a window: the window's menus, toolbar and popup menus are made from its
// rows, in the order of the rows.
template <class Window> struct CommandRow {
    typename Window::Command command;
    // The menu's title ("&File"); "" puts the entry on the menu bar itself, "&Options>Page
    // &size" into a submenu.
    const char* menu;
    const char* caption; // "&" marks the access key
    Shortcut shortcut;
    unsigned flags;
    const char* key; // its toolbar button, null for none
    const char* tip; // the button's tip
    CommandHandler<Window> handler;
};

// A window's commands, made from its rows: one action a row, owned by the window; a shortcut
// works anywhere in it.
class CommandTable {
public:
    template <class Window, std::size_t N>
    CommandTable(Window& window, IWindowing& windowing, const CommandRow<Window> (&rows)[N])
        : windowing_(windowing) {
        for (const CommandRow<Window>& row : rows) {
            QAction* action = Add(window, static_cast<int>(row.command), row.menu, row.caption,
                                  row.shortcut, row.flags, row.key, row.tip);
            QObject::connect(action, &QAction::triggered, &window, [&window, h = row.handler] {
                if (h.plain != nullptr) {
                    (window.*h.plain)();
                } else {
                    (window.*h.indexed)(h.index);
                }
            });
        }
    }

    // The menus, titled in the order the rows first name them.
    void BuildMenus(QMenuBar* bar) const;
    // The buttons in the layout's order: keys, "|" for a separator. A click goes to the
    // window's handler, which passes it on to ToolBarClick.
    template <class Window>
    void BuildToolBar(KeyedToolBar* toolBar, const char* layout, Window& window,
                      void (Window::*handler)(const QString&, bool)) const {
        AddButtons(toolBar, layout);
        QObject::connect(toolBar, &KeyedToolBar::ButtonClick, &window, handler);
    }

    QAction* Action(int command) const;
    template <class Command> QAction* Action(Command command) const {
        return Action(static_cast<int>(command));
    }

    // A plain click runs the button's command; a click on the drop-down part of a DropDown
    // row's button offers the commands of its menu section. Any other key does nothing.
    void ToolBarClick(const QString& key, bool flag) const;
    // The commands of the command's menu section (up to the separators around it) as a popup
    // menu, the disabled ones greyed; runs the one chosen.
    template <class Command> void PopupSection(Command command) const {
        PopupSectionOf(static_cast<int>(command));
    }

private:
    struct Entry {
        int command;
        const char* menu;
        unsigned flags;
        const char* key;
        const char* tip;
        QAction* action;
    };

    QAction* Add(QWidget& window, int command, const char* menu, const char* caption,
                 Shortcut shortcut, unsigned flags, const char* key, const char* tip);
    void AddButtons(KeyedToolBar* toolBar, const char* layout) const;
    void PopupSectionOf(int command) const;

    IWindowing& windowing_;
    std::vector<Entry> entries_;
    std::vector<QAction*> byCommand_;
};
