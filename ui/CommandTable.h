#pragma once

#include <QAction>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>

#include "widgets/KeyedToolBar.h"

// A window's commands as tables, so a caption, a handler or a button's wiring is written once:
// one row a command, one row a toolbar button with the command a click runs.
template <class Window> struct CommandRow {
    typename Window::Command command;
    const char* caption; // "&" marks the access key
    void (Window::*handler)();
};

template <class Command> struct ToolButtonRow {
    const char* key;
    const char* tip;
    bool separatorBefore;
    Command command;
};

// One action a row, owned by the window and kept at its command's place.
template <class Window, std::size_t N, std::size_t M>
void MakeActions(Window* window, const CommandRow<Window> (&rows)[N],
                 std::array<QAction*, M>& actions) {
    for (const CommandRow<Window>& row : rows) {
        auto* action = new QAction(Window::tr(row.caption), window);
        QObject::connect(action, &QAction::triggered, window, row.handler);
        actions[static_cast<std::size_t>(row.command)] = action;
    }
}

template <class Row, std::size_t N>
void AddToolButtons(KeyedToolBar* toolBar, const Row (&rows)[N]) {
    toolBar->setWindowTitle(KeyedToolBar::tr("Toolbar"));
    for (const Row& row : rows) {
        if (row.separatorBefore) {
            toolBar->addSeparator();
        }
        if constexpr (requires { row.hasDropDown; }) {
            toolBar->AddButton(row.key, KeyedToolBar::tr(row.tip), row.hasDropDown);
        } else {
            toolBar->AddButton(row.key, KeyedToolBar::tr(row.tip));
        }
    }
}

// The button's row, or null for a key no row has.
template <class Row, std::size_t N>
const Row* ToolButtonOf(const Row (&rows)[N], const QString& key) {
    auto row = std::find_if(std::begin(rows), std::end(rows),
                            [&](const Row& r) { return key == QLatin1String(r.key); });
    return row == std::end(rows) ? nullptr : &*row;
}
