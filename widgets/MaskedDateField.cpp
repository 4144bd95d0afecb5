#include "widgets/MaskedDateField.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>

#include "datetime/ClsDate.h"
#include "platform/Icons.h"

namespace {

std::optional<int> Number(const QString& digits) {
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok || digits.contains(u'_')) {
        return std::nullopt;
    }
    return value;
}

int DaysInMonth(int year, int month) {
    const int32_t first = ClsDate::DayNumberFromCivil(year, month, 1);
    const int32_t next = month == 12 ? ClsDate::DayNumberFromCivil(year + 1, 1, 1)
                                     : ClsDate::DayNumberFromCivil(year, month + 1, 1);
    return next - first;
}

} // namespace

MaskedDateField::MaskedDateField(QWidget* parent) : MaskedField(parent) {
    drop_ = Editor()->addAction(Icons::ForKey("Date"), QLineEdit::TrailingPosition);
    drop_->setToolTip(tr("Calendar (F4)"));
    connect(drop_, &QAction::triggered, this, &MaskedDateField::ClickDrop);
    SetExtraWidth(style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) + 10);
    SetMask(QStringLiteral("99/99/9999"));
}

void MaskedDateField::SetValue(int32_t dayNumber) {
    if (dayNumber < 0 || dayNumber > LastDay) {
        return;
    }
    Hold(dayNumber);
}

void MaskedDateField::SetMonthFirst(bool on) {
    monthFirst_ = on;
    Hold(Held());
    Describe();
}

std::optional<int32_t> MaskedDateField::Parse(const QString& text) const {
    const QStringList parts = text.split(u'/');
    if (parts.size() != 3 || parts[2].size() != 4) {
        return std::nullopt;
    }
    std::optional<int> first = Number(parts[0]);
    std::optional<int> second = Number(parts[1]);
    std::optional<int> year = Number(parts[2]);
    if (!first || !second || !year) {
        return std::nullopt;
    }
    const int day = monthFirst_ ? *second : *first;
    const int month = monthFirst_ ? *first : *second;
    if (*year < 1900 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(*year, month)) {
        return std::nullopt;
    }
    const int32_t number = ClsDate::DayNumberFromCivil(*year, month, day);
    if (number > LastDay) {
        return std::nullopt;
    }
    return number;
}

QString MaskedDateField::Format(int32_t value) const {
    int year = 0, month = 0, day = 0;
    ClsDate::CivilFromDayNumber(value, year, month, day);
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1/%2/%3")
        .arg(monthFirst_ ? two(month) : two(day), monthFirst_ ? two(day) : two(month))
        .arg(year, 4, 10, QLatin1Char('0'));
}

QString MaskedDateField::SampleText() const {
    return QStringLiteral("00/00/0000");
}

QString MaskedDateField::WrongText() const {
    return tr("No such date: correct it, or pick one from the calendar (F4)");
}

QString MaskedDateField::HowToType() const {
    return monthFirst_ ? tr("Month, day and year; Up and Down step, F4 opens a calendar")
                       : tr("Day, month and year; Up and Down step, F4 opens a calendar");
}

void MaskedDateField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 ||
        (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        event->accept();
        emit ClickDrop();
        return;
    }
    MaskedField::keyPressEvent(event);
}
