#include "support/AccessibleWalk.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QWidget>

namespace AccessibleWalk {
namespace {

bool TakesTab(const QWidget* widget) {
    return widget->isVisible() && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

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

bool InToolBar(const QWidget* w) {
    for (const QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (p->inherits("QToolBar")) {
            return true;
        }
    }
    return false;
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
    // focusNextChild is protected: the first in the chain that takes Tab, found by hand.
    for (QWidget* w = window->nextInFocusChain(); !start && w != window;
         w = w->nextInFocusChain()) {
        if (TakesTab(w) && w->window() == window) {
            start = w;
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
    if (cycle.size() > 1 && cycle.last() == cycle[cycle.size() - 2]) {
        missing << QStringLiteral("Tab is trapped in %1 %2")
                       .arg(QString::fromLatin1(cycle.last()->metaObject()->className()),
                            cycle.last()->objectName());
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (TakesTab(widget) && !reached.contains(widget) && widget->window() == window &&
            !reached.contains(widget->focusProxy())) {
            missing << QStringLiteral("%1 %2").arg(
                QString::fromLatin1(widget->metaObject()->className()), widget->objectName());
        }
    }
    return missing;
}

QStringList KeyClashes(QWidget* window) {
    QMap<QKeySequence, QStringList> owners;
    QSet<const QWidget*> keyed;
    QStringList problems;
    const auto own = [&](const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) {
            owners[key] << text;
        }
        return !key.isEmpty();
    };
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
        if (bar->window() != window) {
            continue;
        }
        for (QAction* menu : bar->actions()) {
            if (menu->isVisible()) {
                own(menu->text());
            }
        }
    }
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) || InToolBar(w) || w->window() != window) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const bool key = own(label->text());
            if (key != (label->buddy() != nullptr)) {
                problems << (key ? "leads nowhere: " : "no key: ") + label->text();
            }
            keyed << label->buddy();
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            own(box->title());
        }
    }
    for (QWidget* w : widgets) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (button == nullptr || !w->isVisibleTo(window) || InToolBar(w) || w->window() != window ||
            w->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        auto* push = qobject_cast<QPushButton*>(w);
        const bool spared = keyed.contains(w) ||
                            (push != nullptr && (push->isDefault() || push->text() == "Cancel"));
        if (!own(button->text()) && !spared) {
            problems << "no key: " + button->text() + " " + button->accessibleName();
        }
    }
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        if (it.value().size() > 1) {
            problems << it.key().toString() + " twice: " + it.value().join(" / ");
        }
    }
    return problems;
}

} // namespace AccessibleWalk
