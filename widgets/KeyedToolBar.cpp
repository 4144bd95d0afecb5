#include "widgets/KeyedToolBar.h"

#include "platform/Icons.h"
#include "widgets/DropDownToolButton.h"

#include <QEvent>
#include <QToolButton>

#include <algorithm>

KeyedToolBar::KeyedToolBar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    FollowFont();
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The button that shows what does not fit stays out of the Tab chain as the others do.
    for (QToolButton* extension : findChildren<QToolButton*>()) {
        extension->setFocusPolicy(Qt::NoFocus);
        extension->setAccessibleName(tr("More tools"));
    }
}

DropDownToolButton* KeyedToolBar::AddButton(const QString& key, const QString& tip, bool dropDown) {
    auto* button = new DropDownToolButton(this);
    // Out of the Tab chain, as toolbar buttons are in most programs: Tab must not reach Exit
    // and Space fire it.
    button->setFocusPolicy(Qt::NoFocus);
    if (!dropDown) {
        button->setPopupMode(QToolButton::DelayedPopup);
        button->setMenu(nullptr);
    }
    QIcon icon = Icons::ForKey(key);
    button->setIcon(icon);
    button->setText(tip);
    button->setToolTip(tip);
    button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    button->setAccessibleName(tip);
    addWidget(button);
    entries_.push_back({key, tip, button});
    connect(button, &DropDownToolButton::Clicked, this,
            [this, key](bool flag) { emit ButtonClick(key, flag); });
    return button;
}

DropDownToolButton* KeyedToolBar::Button(const QString& key) const {
    for (const Entry& e : entries_) {
        if (e.key == key) {
            return e.button;
        }
    }
    return nullptr;
}

QStringList KeyedToolBar::Layout() const {
    QStringList layout;
    for (QAction* a : actions()) {
        if (a->isSeparator()) {
            layout << QStringLiteral("|");
            continue;
        }
        for (const Entry& e : entries_) {
            if (widgetForAction(a) == e.button) {
                layout << e.key;
            }
        }
    }
    return layout;
}

void KeyedToolBar::SetTip(const QString& key, const QString& tip) {
    for (Entry& e : entries_) {
        if (e.key == key) {
            e.tip = tip;
            e.button->setToolTip(tipsShown_ ? tip : QString());
        }
    }
}

void KeyedToolBar::ShowToolTips(bool on) {
    tipsShown_ = on;
    for (const Entry& e : entries_) {
        e.button->setToolTip(on ? e.tip : QString());
    }
}

// The icons grow with a large desktop font, so the buttons stay in proportion to the menus.
void KeyedToolBar::FollowFont() {
    const int side = std::max(24, qRound(fontMetrics().height() * 1.4));
    setIconSize(QSize(side, side));
}

void KeyedToolBar::changeEvent(QEvent* event) {
    QToolBar::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FollowFont();
    }
}
