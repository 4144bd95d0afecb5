#include "support/AccessibleWalk.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QSet>
#include <QTest>
#include <QWidget>

namespace AccessibleWalk {
namespace {

bool Interactive(QAccessibleInterface* node) {
    switch (node->role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuItem:
        return true;
    default:
        return node->state().focusable;
    }
}

QString Describe(QAccessibleInterface* node) {
    QObject* object = node->object();
    const QString cls = object ? QString::fromLatin1(object->metaObject()->className())
                               : QStringLiteral("(no object)");
    const QString name = object ? object->objectName() : QString();
    return QStringLiteral("%1 %2 (role %3)").arg(cls, name).arg(int(node->role()));
}

void Walk(QAccessibleInterface* node, QStringList& problems, int depth) {
    if (!node || !node->isValid() || depth > 64 || node->state().invisible) {
        return;
    }
    if (Interactive(node) && !node->state().disabled &&
        (node->role() == QAccessible::NoRole ||
         node->text(QAccessible::Name).trimmed().isEmpty())) {
        problems << Describe(node);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        Walk(node->child(i), problems, depth + 1);
    }
}

bool TakesTab(const QWidget* widget) {
    return widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

} // namespace

QStringList UnnamedControls(QWidget* window) {
    QStringList problems;
    Walk(QAccessible::queryAccessibleInterface(window), problems, 0);
    return problems;
}

QList<QWidget*> TabCycle(QWidget* window, int limit) {
    QList<QWidget*> reached;
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QWidget* start = window->focusWidget();
    // focusNextChild() is protected: take the first widget in the chain that Tab stops at.
    for (QWidget* next = window->nextInFocusChain(); !start && next && next != window;
         next = next->nextInFocusChain()) {
        if (TakesTab(next) && next->window() == window) {
            start = next;
        }
    }
    if (!start) {
        return reached;
    }
    start->setFocus(Qt::TabFocusReason);
    reached << start;
    for (int i = 0; i < limit; ++i) {
        QWidget* before = QApplication::focusWidget();
        QTest::keyClick(before ? before : window, Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == start) {
            return reached;
        }
        reached << now;
        if (now == before) {
            return reached; // Tab no longer moves: a trap
        }
    }
    return reached;
}

QStringList Unreachable(QWidget* window) {
    const QList<QWidget*> cycle = TabCycle(window);
    const QSet<QWidget*> reached(cycle.begin(), cycle.end());
    QStringList missing;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (TakesTab(widget) && !reached.contains(widget) && widget->window() == window &&
            !reached.contains(widget->focusProxy())) {
            missing << QStringLiteral("%1 %2").arg(
                QString::fromLatin1(widget->metaObject()->className()), widget->objectName());
        }
    }
    return missing;
}

} // namespace AccessibleWalk
