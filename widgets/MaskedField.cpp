#include "widgets/MaskedField.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <cstdlib>

MaskedField::MaskedField(QWidget* parent) : QAbstractSpinBox(parent) {
    setKeyboardTracking(false);
    setAccelerated(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { TakeText(); });
    connect(this, &QAbstractSpinBox::editingFinished, this, &MaskedField::Commit);
}

QString MaskedField::Text() const {
    return lineEdit()->displayText();
}

void MaskedField::TakeText() {
    if (std::optional<int32_t> value = Parse(Text())) {
        held_ = *value;
        ShowWrong(false);
    }
}

void MaskedField::Commit() {
    std::optional<int32_t> value = Parse(Text());
    if (value) {
        Hold(*value);
    } else {
        ShowWrong(true);
    }
}

void MaskedField::ShowWrong(bool wrong) {
    if (wrong == shownWrong_) {
        return;
    }
    shownWrong_ = wrong;
    if (wrong) {
        QPalette marked = palette();
        marked.setColor(QPalette::Base, QColor(0xFF, 0xD8, 0xD8));
        marked.setColor(QPalette::Text, QColor(0x90, 0x00, 0x00));
        setPalette(marked);
        setToolTip(WrongText());
    } else {
        setPalette(QPalette());
        setToolTip(QString());
    }
    Describe();
}

void MaskedField::Describe() {
    setAccessibleDescription(shownWrong_ ? WrongText() : HowToType());
}

void MaskedField::Hold(int32_t value) {
    held_ = value;
    ShowWrong(false);
    const QString text = Format(value);
    if (lineEdit()->displayText() != text) {
        const int cursor = lineEdit()->cursorPosition();
        lineEdit()->setText(text);
        if (hasFocus()) {
            lineEdit()->setCursorPosition(cursor);
        }
    }
}

void MaskedField::SetMask(const QString& mask) {
    lineEdit()->setInputMask(mask + QStringLiteral(";_"));
    lineEdit()->setText(Format(held_));
    Describe();
    updateGeometry();
}

void MaskedField::SetExtraWidth(int pixels) {
    extraWidth_ = pixels;
    updateGeometry();
}

void MaskedField::stepBy(int steps) {
    const int direction = steps > 0 ? 0 : 1;
    for (int i = std::abs(steps); i > 0; --i) {
        emit ClickSpin(direction);
    }
}

QAbstractSpinBox::StepEnabled MaskedField::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

QSize MaskedField::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics(fontMetrics());
    // Room for the text, the cursor and the editor's own margins.
    const int width = metrics.horizontalAdvance(SampleText()) + 8 + extraWidth_;
    const int height = lineEdit()->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(width, height), this);
}

QSize MaskedField::minimumSizeHint() const {
    return sizeHint();
}

// Tabbing in selects the whole text, so typing starts again at the first position.
void MaskedField::focusInEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
        event->reason() == Qt::ShortcutFocusReason) {
        lineEdit()->selectAll();
    }
}
