#include "widgets/MaskedTimeField.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

constexpr int kHalfPosition = 6; // "hh:mm A" the letter of AM or PM

std::optional<int> Number(QStringView digits) {
    if (digits.size() != 2 || !digits[0].isDigit() || !digits[1].isDigit()) {
        return std::nullopt;
    }
    return digits.toInt();
}

QString Two(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

MaskedTimeField::MaskedTimeField(QWidget* parent) : MaskedField(parent) {
    Remask();
}

void MaskedTimeField::SetValue(int32_t minutes) {
    Hold(std::clamp<int32_t>(minutes, 0, duration_ ? LastDuration : 1439));
}

void MaskedTimeField::SetTwentyFourHour(bool on) {
    twentyFourHour_ = on;
    Remask();
}

void MaskedTimeField::SetDuration(bool on) {
    duration_ = on;
    Remask();
    SetValue(Held());
}

void MaskedTimeField::Remask() {
    SetMask(TwelveHour() ? QStringLiteral("99:99 >AM") : QStringLiteral("99:99"));
}

std::optional<int32_t> MaskedTimeField::Parse(const QString& text) const {
    const QStringView view(text);
    if (view.size() < 5 || view[2] != u':') {
        return std::nullopt;
    }
    std::optional<int> hours = Number(view.mid(0, 2));
    std::optional<int> minutes = Number(view.mid(3, 2));
    if (!hours || !minutes || *minutes > 59) {
        return std::nullopt;
    }
    if (!TwelveHour()) {
        if (!duration_ && *hours > 23) {
            return std::nullopt;
        }
        return *hours * 60 + *minutes;
    }
    if (view.size() != 8 || *hours < 1 || *hours > 12) {
        return std::nullopt;
    }
    QChar half = view[kHalfPosition];
    if (half == u'_') {
        // Digits typed over the whole text leave the half of the day as it was.
        half = Held() < 720 ? u'A' : u'P';
    }
    if (half != u'A' && half != u'P') {
        return std::nullopt;
    }
    return (*hours % 12 + (half == u'P' ? 12 : 0)) * 60 + *minutes;
}

QString MaskedTimeField::Format(int32_t value) const {
    const int hours = value / 60;
    const int minutes = value % 60;
    if (!TwelveHour()) {
        return Two(hours) + u':' + Two(minutes);
    }
    const int shown = hours % 12 == 0 ? 12 : hours % 12;
    return Two(shown) + u':' + Two(minutes) + QLatin1String(hours < 12 ? " AM" : " PM");
}

QString MaskedTimeField::SampleText() const {
    return TwelveHour() ? QStringLiteral("00:00 MM") : QStringLiteral("00:00");
}

QString MaskedTimeField::WrongText() const {
    return duration_ ? tr("Not a duration: hours up to 99, minutes up to 59")
                     : tr("No such time of day: correct it");
}

QString MaskedTimeField::HowToType() const {
    return duration_      ? tr("Hours and minutes; Up and Down step")
           : TwelveHour() ? tr("Hours and minutes, then A or P; Up and Down step")
                          : tr("Hours and minutes on the 24-hour clock; Up and Down step");
}

// On the 12-hour clock A and P choose the half of the day wherever the cursor is; other
// letters have no place in the field.
void MaskedTimeField::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text().toUpper();
    if (typed.size() == 1 && typed[0].isLetter() && !(event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        if (TwelveHour() && (typed[0] == u'A' || typed[0] == u'P')) {
            QString text = Text();
            text[kHalfPosition] = typed[0];
            const int cursor = Editor()->cursorPosition();
            Editor()->setText(text);
            Editor()->setCursorPosition(cursor);
            TakeText();
        }
        return;
    }
    MaskedField::keyPressEvent(event);
}
