#pragma once

#include <QList>
#include <QStringList>

class QWidget;

// What a screen reader or a keyboard user would trip over in a window.
namespace AccessibleWalk {

// Every visible part a user can act on (it takes focus, or it is a button, field, list,
// slider, tab...) that has no accessible name or no role, as "Class objectName (role)".
QStringList UnnamedControls(QWidget* window);

// The widgets Tab reaches, in order, starting from the window's focus widget (or the first
// in its chain) until the focus comes back to where it started; at most `limit` steps.
// A cycle that never returns ends with the widget where it stopped repeated: a trap.
QList<QWidget*> TabCycle(QWidget* window, int limit = 200);

// Visible, enabled widgets that accept focus by Tab but that TabCycle does not reach.
QStringList Unreachable(QWidget* window);

} // namespace AccessibleWalk
