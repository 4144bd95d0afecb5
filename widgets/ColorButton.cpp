#include "widgets/ColorButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "platform/ColorRef.h"

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
    setMinimumSize(48, 24);
}

void ColorButton::SetColor(uint32_t colorRef) {
    color_ = colorRef & 0x00FFFFFF;
    setAccessibleDescription(ColorRefToQColor(color_).name());
    update();
}

void ColorButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    // The swatch fills the button's face inside its frame, so pressed and focused states
    // still show around it.
    QStyleOptionButton option;
    initStyleOption(&option);
    QRect face = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    QPainter painter(this);
    painter.fillRect(face.adjusted(1, 1, -1, -1), ColorRefToQColor(color_));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(face.adjusted(1, 1, -2, -2));
}

ColorLabel::ColorLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    Apply();
}

void ColorLabel::SetBackColor(uint32_t colorRef) {
    back_ = colorRef & 0x00FFFFFF;
    Apply();
}

void ColorLabel::SetForeColor(uint32_t colorRef) {
    fore_ = colorRef & 0x00FFFFFF;
    Apply();
}

void ColorLabel::Apply() {
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorRefToQColor(back_));
    p.setColor(QPalette::WindowText, ColorRefToQColor(fore_));
    setPalette(p);
}
