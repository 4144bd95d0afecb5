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

// Visible, enabled widgets that accept focus by Tab but that TabCycle does not reach, and the
// widget Tab is trapped in.
QStringList Unreachable(QWidget* window);

// Who answers each Alt+letter: menu titles, buttons, group boxes and labels, which hand the
// key on to their buddy. Problems are letters used twice, labels of a field without a key,
// keyed labels that lead nowhere and buttons no key reaches (the default and Cancel have
// Enter and Escape; buttons that never take the focus, as a field's calendar, have keys of
// the field).
QStringList KeyClashes(QWidget* window);

} // namespace AccessibleWalk
