#include "widgets/DropDownToolButton.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>

DropDownToolButton::DropDownToolButton(QWidget* parent)
    : QToolButton(parent), placeholder_(new QMenu(this)) {
    setMenu(placeholder_);
    setPopupMode(QToolButton::MenuButtonPopup);
    connect(this, &QToolButton::clicked, this, [this] { emit Clicked(false); });
}

bool DropDownToolButton::InDropDownPart(const QPoint& pos) const {
    // Without a drop-down part the style reports the whole button as the menu area.
    if (popupMode() != QToolButton::MenuButtonPopup) {
        return false;
    }
    QStyleOptionToolButton option;
    initStyleOption(&option);
    QRect part =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    return part.isValid() && part.contains(pos);
}

void DropDownToolButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() &&
        InDropDownPart(event->position().toPoint())) {
        event->accept();
        emit Clicked(true);
        return;
    }
    QToolButton::mousePressEvent(event);
}
