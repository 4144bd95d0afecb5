#include "widgets/ColorButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <utility>

#include "platform/ColorRef.h"

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
    setMinimumSize(48, 24);
}

void ColorButton::SetColor(uint32_t colorRef) {
    color_ = colorRef & 0x00FFFFFF;
    setAccessibleDescription(Describe(color_));
    update();
}

QString ColorButton::Describe(uint32_t colorRef) {
    const QColor color = ColorRefToQColor(colorRef);
    const int value = color.value();
    QString words;
    if (color.hsvSaturation() < 40 || value < 40) {
        words = value < 40    ? tr("black")
                : value < 110 ? tr("dark grey")
                : value < 190 ? tr("grey")
                : value < 240 ? tr("light grey")
                              : tr("white");
    } else {
        // Hue in degrees, the start of each named band.
        static const std::pair<int, const char*> kHues[] = {
            {0, "red"},    {15, "orange"},  {45, "yellow"},   {70, "green"}, {160, "cyan"},
            {195, "blue"}, {255, "purple"}, {285, "magenta"}, {330, "pink"}, {350, "red"}};
        const char* hue = kHues[0].second;
        for (const auto& [from, name] : kHues) {
            if (color.hsvHue() >= from) {
                hue = name;
            }
        }
        words = tr(hue);
        if (value < 140) {
            words = tr("dark %1").arg(words);
        } else if (color.hsvSaturation() < 120) {
            words = tr("light %1").arg(words);
        }
    }
    return QStringLiteral("%1, %2").arg(words, color.name());
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
