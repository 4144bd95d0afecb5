#include "grid/ScheduleGridPainter.h"

#include "datetime/ClsDate.h"
#include "grid/ScheduleGridModel.h"
#include "grid/ScheduleGridTextCache.h"
#include "grid/SeriesMark.h"
#include "platform/ColorRef.h"

#include <QFontMetrics>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kDayLabelPad = 5;
constexpr int kTimeLabelGap = 12;

} // namespace

ScheduleGridPainter::ScheduleGridPainter(const ScheduleGridView& view)
    : view_(view), axis_(*view.geometry.axis), font_(view.font), bold_(view.font) {
    bold_.setBold(true);
    data_ = view.geometry.DataRect();
    scrollX_ = view.geometry.scrollX;
    const ScheduleTimeAxis& axis = axis_;
    if (axis.DayCount() > 0 && data_.width() > 0) {
        const double dayWidth = axis.DayWidth();
        const int last = axis.DayCount() - 1;
        firstDay_ = std::clamp(static_cast<int>(std::floor(scrollX_ / dayWidth)), 0, last);
        lastDay_ = std::clamp(static_cast<int>(std::floor((scrollX_ + data_.width()) / dayWidth)),
                              0, last);
    }
    const int rowHeight = std::max(1, view.geometry.rowHeight);
    const int scrollY = view.geometry.scrollY;
    firstRow_ = scrollY / rowHeight + 1;
    lastRow_ = std::min(view.model->RowCount(), (scrollY + data_.height()) / rowHeight + 1);
}

ScheduleGridPainter::Stats ScheduleGridPainter::Paint(QPainter& painter, const QRect& dirty) {
    Stats stats;
    const auto inClip = [&](const QRect& area, auto&& draw) {
        const QRect clip = area & dirty;
        if (clip.isEmpty()) {
            return;
        }
        painter.save();
        painter.setClipRect(clip);
        draw();
        painter.restore();
    };
    inClip(data_, [&] {
        PaintData(painter);
        PaintLines(painter);
        const int64_t before = view_.model->ExaminedBars();
        stats.drawn = PaintBars(painter);
        stats.examined = static_cast<int>(view_.model->ExaminedBars() - before);
        PaintDrag(painter);
        PaintGhost(painter);
    });
    inClip(QRect(data_.left(), 0, data_.width(), data_.top()), [&] { PaintRuler(painter); });
    inClip(QRect(0, 0, data_.left(), data_.top()), [&] { PaintTitle(painter); });
    inClip(QRect(0, data_.top(), data_.left(), data_.height()), [&] { PaintList(painter); });
    if (view_.focused) {
        inClip(QRect(QPoint(0, 0), view_.geometry.viewport), [&] { PaintFocus(painter); });
    }
    return stats;
}

// --- helpers ------------------------------------------------------------------------

QDate ScheduleGridPainter::DateOf(int32_t day) {
    return QDate(1900, 1, 1).addDays(day);
}

QString ScheduleGridPainter::DayLabel(int32_t day, int length) {
    static const std::array<QString, 4> formats = {"ddd dd MMM yyyy", "ddd dd MMM", "ddd dd", "dd"};
    return QLocale::c().toString(DateOf(day),
                                 formats[static_cast<size_t>(std::clamp(length, 0, 3))]);
}

QString ScheduleGridPainter::TimeLabel(int minute, bool twentyFourHour) {
    return QString::fromStdString(
        ClsDate::TimeText(minute % 1440, twentyFourHour, ClsDate::TimeStyle::Short));
}

QString ScheduleGridPainter::MomentLabel(int32_t day, int minute, bool twentyFourHour) {
    const int32_t carried = day + static_cast<int32_t>(minute / 1440);
    return DayLabel(carried, 1) + " " + TimeLabel(minute % 1440, twentyFourHour);
}

QString ScheduleGridPainter::SpanLabel(int32_t startDay, int startMinute, int32_t endDay,
                                       int endMinute, bool twentyFourHour) {
    const int32_t first = startDay + static_cast<int32_t>(startMinute / 1440);
    const int32_t last = endDay + static_cast<int32_t>(endMinute / 1440);
    const QString dash = QString::fromUtf8(" \u2013 ");
    // Across midnight the times alone would not say which days are meant.
    if (first == last) {
        return TimeLabel(startMinute % 1440, twentyFourHour) + dash +
               TimeLabel(endMinute % 1440, twentyFourHour);
    }
    return MomentLabel(startDay, startMinute, twentyFourHour) + dash +
           MomentLabel(endDay, endMinute, twentyFourHour);
}

bool ScheduleGridPainter::IsWeekend(int32_t day, int weekendMask) {
    const int fromMonday = static_cast<int>(((day % 7) + 7) % 7); // day 0 is a Monday
    const int fromSunday = (fromMonday + 1) % 7;
    return (weekendMask >> fromSunday) & 1;
}

QColor ScheduleGridPainter::Contrast(const QColor& background) {
    const QColor c = background.toRgb();
    const double luminance = 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    return luminance < 150 ? QColor(Qt::white) : QColor(Qt::black);
}

QColor ScheduleGridPainter::ReadableInk(const QColor& background, const QColor& ink) {
    // Relative luminance and contrast ratio as the web's accessibility guidelines define them.
    const auto luminance = [](const QColor& colour) {
        const QColor c = colour.toRgb();
        const auto linear = [](int channel) {
            const double v = channel / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    };
    const double a = luminance(background);
    const double b = luminance(ink);
    const double ratio = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    if (ratio >= 3.0) {
        return ink;
    }
    return (1.05 / (a + 0.05)) >= ((a + 0.05) / 0.05) ? QColor(Qt::white) : QColor(Qt::black);
}

QColor ScheduleGridPainter::Blend(const QColor& from, const QColor& to, double amount) {
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    const auto mix = [amount](int x, int y) {
        return static_cast<int>(std::lround(x + (y - x) * amount));
    };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

int ScheduleGridPainter::DayX(int dayIndex) const {
    return OffsetX(int64_t{dayIndex} * axis_.Span());
}

int ScheduleGridPainter::OffsetX(int64_t offset) const {
    return data_.left() + static_cast<int>(std::llround(axis_.XOf(offset))) - scrollX_;
}

int ScheduleGridPainter::DayLabelLength() const {
    const QFontMetrics fm(bold_);
    int weekday = 0;
    for (const char* name : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}) {
        weekday = std::max(weekday, fm.horizontalAdvance(name));
    }
    int month = 0;
    for (const char* name :
         {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}) {
        month = std::max(month, fm.horizontalAdvance(name));
    }
    const int space = fm.horizontalAdvance(' ');
    const int dd = fm.horizontalAdvance("00");
    const std::array<int, 4> widths = {weekday + dd + month + fm.horizontalAdvance("0000") +
                                           3 * space,
                                       weekday + dd + month + 2 * space, weekday + dd + space, dd};
    const double room = axis_.DayWidth() - kDayLabelPad - 2;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (widths[i] <= room) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ScheduleGridPainter::TimeLabelStep() const {
    const QFontMetrics fm(font_);
    const ScheduleTimeAxis& axis = axis_;
    const bool h24 = view_.ruler24Hour;
    const int longest = fm.horizontalAdvance(h24 ? "00:00" : "12:30pm");
    const int sub = axis.StepForWidth(longest + kTimeLabelGap);
    if (sub != 0 && sub < 60) {
        return sub;
    }
    // Whole hours only: the labels are shorter.
    const int whole =
        axis.StepForWidth(fm.horizontalAdvance(h24 ? "00:00" : "12pm") + kTimeLabelGap);
    return whole == 0 ? 0 : std::max(whole, 60);
}

// --- data area ----------------------------------------------------------------------

void ScheduleGridPainter::PaintData(QPainter& painter) {
    const ScheduleTimeAxis& axis = axis_;
    const QColor back = view_.back;
    painter.fillRect(data_, back);
    const int contentRight = OffsetX(axis.TotalMinutes());
    if (contentRight <= data_.right()) {
        painter.fillRect(
            QRect(contentRight, data_.top(), data_.right() - contentRight + 1, data_.height()),
            view_.palette.color(QPalette::Window));
    }
    const QColor weekend = view_.weekend;
    for (int i = firstDay_; i <= lastDay_; ++i) {
        if (IsWeekend(axis.FirstDay() + i, view_.weekendMask)) {
            painter.fillRect(QRect(DayX(i), data_.top(), DayX(i + 1) - DayX(i), data_.height()),
                             weekend);
        }
    }
    const int current = view_.currentRow;
    if (current >= firstRow_ && current <= lastRow_) {
        QColor highlight = view_.palette.color(QPalette::Highlight);
        highlight.setAlpha(40);
        const int right = std::min(contentRight, data_.right() + 1);
        painter.fillRect(QRect(data_.left(), view_.geometry.RowTop(current), right - data_.left(),
                               view_.geometry.rowHeight),
                         highlight);
    }
}

void ScheduleGridPainter::PaintLines(QPainter& painter) {
    const ScheduleTimeAxis& axis = axis_;
    const QColor back = view_.back;
    const QColor ink = Contrast(back);
    const int right = std::min(OffsetX(axis.TotalMinutes()), data_.right() + 1) - 1;
    painter.setPen(Blend(back, ink, 0.10));
    for (int row = firstRow_; row <= lastRow_; ++row) {
        const int y = view_.geometry.RowTop(row) + view_.geometry.rowHeight - 1;
        painter.drawLine(data_.left(), y, right, y);
    }
    if (lastDay_ < firstDay_) {
        return;
    }
    const int step = view_.timeLines ? TimeLabelStep() : 0;
    if (step > 0) {
        painter.setPen(Blend(back, ink, 0.14));
        for (int i = firstDay_; i <= lastDay_; ++i) {
            for (int m = (axis.DayStart() / step + 1) * step; m < axis.DayEnd(); m += step) {
                const int x = OffsetX(int64_t{i} * axis.Span() + m - axis.DayStart());
                painter.drawLine(x, data_.top(), x, data_.bottom());
            }
        }
    }
    painter.setPen(Blend(back, ink, 0.32));
    for (int i = firstDay_; i <= lastDay_ + 1; ++i) {
        const int x = DayX(i) - (i == axis.DayCount() ? 1 : 0);
        painter.drawLine(x, data_.top(), x, data_.bottom());
    }
}

int ScheduleGridPainter::PaintBars(QPainter& painter) {
    const ScheduleTimeAxis& axis = axis_;
    if (axis.DayCount() == 0) {
        return 0;
    }
    // Bars of no length are widened to the right: look a little to the left as well.
    const int64_t from = axis.AbsoluteOf(axis.OffsetAtX(scrollX_ - 4.0));
    const int64_t to = axis.AbsoluteOf(axis.OffsetAtX(scrollX_ + data_.width() + 1.0) + 1) + 1;
    painter.setFont(font_);
    const QFontMetrics fm(font_);
    const QColor outline = Contrast(view_.back);
    int visited = 0;
    for (int row = firstRow_; row <= lastRow_; ++row) {
        view_.model->ForEachBarIn(row, from, to, [&](int number, const ScheduleGridBar& bar) {
            ++visited;
            const std::optional<QRectF> shape = view_.geometry.BarRectF(row, bar);
            if (!shape) {
                return;
            }
            const QRect box = shape->toRect();
            if (!box.intersects(data_)) {
                return;
            }
            // Outline and fill are both filled rectangles, so at any screen scale they end
            // on the same device pixel and no fill shows outside the outline.
            const QColor fill = ColorRefToQColor(bar.color);
            const bool selected = view_.selectedRow == row && view_.selectedBar == number;
            // The selected bar: an outline that stands out from the grid and a ring that
            // stands out from the bar's own colour, whatever the two are.
            painter.fillRect(box, selected ? outline : fill.darker(150));
            const int inset = selected ? 3 : 1;
            if (selected) {
                painter.fillRect(box.adjusted(1, 1, -1, -1), Contrast(fill));
            }
            painter.fillRect(box.adjusted(inset, inset, -inset, -inset), fill);
            const QColor ink = ReadableInk(fill, ColorRefToQColor(bar.textColor));
            // The sign and the text stay in view when the bar runs out of it at either side.
            // The sign keeps its size on the selected bar, over the inside of its ring.
            const int markRoom = bar.series ? SeriesMark::Paint(painter, box & data_, ink) : 0;
            const QRect room = (box & data_).adjusted(4, 0, -3 - markRoom, 0);
            if (room.width() < 8 || bar.text.isEmpty()) {
                return;
            }
            painter.setPen(ink);
            view_.texts->Draw(painter, font_, room, bar.text);
        });
    }
    return visited;
}

void ScheduleGridPainter::PaintDrag(QPainter& painter) {
    if (!view_.dragging) {
        return;
    }
    const QRect box = view_.geometry.SpanRect(view_.dragRow, view_.dragFrom, view_.dragTo).toRect();
    QColor fill = view_.palette.color(QPalette::Highlight);
    fill.setAlpha(110);
    painter.fillRect(box, fill);
    painter.setPen(QPen(fill.darker(140), 1, Qt::DashLine));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const auto start = axis_.MomentAt(view_.dragFrom, false);
    const auto end = axis_.MomentAt(view_.dragTo, true);
    const QString label =
        SpanLabel(start.day, start.minute, end.day, end.minute, view_.ruler24Hour);
    const QRect room = (box & data_).adjusted(4, 0, -3, 0);
    painter.setFont(font_);
    if (QFontMetrics(font_).horizontalAdvance(label) <= room.width()) {
        painter.setPen(Contrast(view_.palette.color(QPalette::Highlight)));
        painter.drawText(room, Qt::AlignVCenter | Qt::AlignLeft, label);
    }
}

// The bar's own colour, see-through so that what lies beneath shows; a place it cannot go
// is outlined and hatched in red, whatever the bar's colour.
void ScheduleGridPainter::PaintGhost(QPainter& painter) {
    if (!view_.ghost) {
        return;
    }
    const QRect box =
        view_.geometry.SpanRect(view_.ghostRow, view_.ghostFrom, view_.ghostTo).toRect();
    // Blocked, it is pale whatever its colour, so that it shows over the bar in its way.
    QColor fill = view_.ghostBlocked ? QColor(255, 255, 255) : view_.ghostColor;
    fill.setAlpha(view_.ghostBlocked ? 190 : 150);
    painter.fillRect(box, fill);
    const QColor edge = view_.ghostBlocked ? QColor(200, 0, 0) : Contrast(view_.back);
    if (view_.ghostBlocked) {
        painter.fillRect(box, QBrush(edge, Qt::BDiagPattern));
    }
    painter.setPen(QPen(edge, 2, view_.ghostBlocked ? Qt::SolidLine : Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    const auto start = axis_.MomentAt(view_.ghostFrom, false);
    const auto end = axis_.MomentAt(view_.ghostTo, true);
    const QString label =
        SpanLabel(start.day, start.minute, end.day, end.minute, view_.ruler24Hour);
    const QRect room = (box & data_).adjusted(5, 0, -4, 0);
    painter.setFont(font_);
    if (QFontMetrics(font_).horizontalAdvance(label) <= room.width()) {
        painter.setPen(view_.ghostBlocked ? edge : Contrast(view_.ghostColor));
        painter.drawText(room, Qt::AlignVCenter | Qt::AlignLeft, label);
    }
}

// --- ruler, title and row titles ----------------------------------------------------

void ScheduleGridPainter::PaintRuler(QPainter& painter) {
    const ScheduleTimeAxis& axis = axis_;
    const QRect rect(data_.left(), 0, data_.width(), data_.top());
    const QColor ruler = view_.ruler;
    const QColor text = Contrast(ruler);
    const QColor tick = Blend(ruler, text, 0.45);
    painter.fillRect(rect, ruler);
    const int contentRight = OffsetX(axis.TotalMinutes());
    if (contentRight <= rect.right()) {
        painter.fillRect(QRect(contentRight, 0, rect.right() - contentRight + 1, rect.height()),
                         view_.palette.color(QPalette::Window));
    }
    const int half = rect.height() / 2;
    const QRect dayBand(rect.left(), 0, rect.width(), half);
    const QRect hourBand(rect.left(), half, rect.width(), rect.height() - half);

    const int length = DayLabelLength();
    const QFontMetrics fm(bold_);
    const QColor weekend = Blend(ruler, view_.weekend, 0.6);
    painter.setFont(bold_);
    for (int i = firstDay_; i <= lastDay_; ++i) {
        const int32_t day = axis.FirstDay() + i;
        const int x0 = DayX(i);
        const int x1 = DayX(i + 1);
        if (IsWeekend(day, view_.weekendMask)) {
            painter.fillRect(QRect(x0, 0, x1 - x0, half), weekend);
        }
        // A partly scrolled day keeps its label in view, shortened to what is left of it.
        const int left = std::max(x0, rect.left()) + kDayLabelPad;
        for (int size = std::max(length, 0); length >= 0 && size < 4; ++size) {
            const QString label = DayLabel(day, size);
            const int width = fm.horizontalAdvance(label);
            if (left + width > x1 - 2) {
                continue;
            }
            painter.setPen(text);
            view_.boldTexts->Draw(painter, bold_, QRect(left, 0, width + 1, half), label);
            break;
        }
    }
    painter.setPen(Blend(ruler, text, 0.2));
    painter.drawLine(rect.left(), half, rect.right(), half);
    PaintHours(painter, hourBand, text, tick);
    painter.setPen(tick);
    for (int i = firstDay_; i <= lastDay_ + 1 && lastDay_ >= firstDay_; ++i) {
        painter.drawLine(DayX(i), 0, DayX(i), rect.bottom());
    }
    painter.setPen(Blend(ruler, text, 0.5));
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
}

void ScheduleGridPainter::PaintHours(QPainter& painter, const QRect& band, const QColor& text,
                                     const QColor& tick) {
    const ScheduleTimeAxis& axis = axis_;
    // Too narrow for any label: ticks alone still show the time of day.
    const int labelStep = TimeLabelStep();
    const int step = labelStep > 0 ? labelStep : axis.StepForWidth(6);
    if (step == 0 || lastDay_ < firstDay_) {
        return;
    }
    // Minor ticks divide the label step, and only when they stay apart.
    int minor = step;
    for (int candidate : {15, 30, 60, 120, 180, 360}) {
        if (candidate < step && step % candidate == 0 && candidate * axis.PixelsPerMinute() >= 6) {
            minor = candidate;
            break;
        }
    }
    // Every day has the same labels: measure them once.
    struct Label {
        QString text;
        int width = 0;
    };
    QHash<int, Label> labels;
    if (labelStep > 0) {
        const QFontMetrics fm(font_);
        for (int m = 0; m < 1440; m += labelStep) {
            const QString label = TimeLabel(m, view_.ruler24Hour);
            labels.insert(m, Label{label, fm.horizontalAdvance(label)});
        }
    }
    const int bottom = band.bottom();
    for (int i = firstDay_; i <= lastDay_; ++i) {
        const int64_t dayOffset = int64_t{i} * axis.Span() - axis.DayStart();
        const int first = (axis.DayStart() + minor - 1) / minor * minor;
        for (int m = first; m < axis.DayEnd(); m += minor) {
            const int x = OffsetX(dayOffset + m);
            const bool labelled = m % step == 0;
            painter.setPen(tick);
            painter.drawLine(x, bottom - (labelled ? 6 : 3), x, bottom);
            if (!labelled || labelStep == 0) {
                continue;
            }
            const Label& label = labels[m % 1440];
            // A label must not run into the next day's first label, and shows whole or not
            // at all at the edges of the view.
            if (label.width > DayX(i + 1) - x - 3 || x + 3 < band.left() ||
                x + 3 + label.width > band.right() + 1) {
                continue;
            }
            painter.setPen(text);
            view_.texts->Draw(painter, font_,
                              QRect(x + 3, band.top(), label.width + 1, band.height() - 2),
                              label.text);
        }
    }
}

void ScheduleGridPainter::PaintTitle(QPainter& painter) {
    const QRect rect(0, 0, data_.left(), data_.top());
    const QColor back = view_.titleBack;
    const QColor fore = Contrast(view_.titleBack);
    painter.fillRect(rect, back);
    painter.setPen(fore);
    view_.boldTexts->Draw(painter, bold_, rect.adjusted(6, 0, -4, 0), view_.listTitle);
    painter.setPen(Blend(back, fore, 0.4));
    painter.drawLine(rect.right(), 0, rect.right(), rect.bottom());
    painter.drawLine(0, rect.bottom(), rect.right(), rect.bottom());
}

void ScheduleGridPainter::PaintList(QPainter& painter) {
    const QRect rect(0, data_.top(), data_.left(), data_.height());
    const QColor back = view_.listBack;
    const QColor fore = Contrast(view_.listBack);
    painter.fillRect(rect, back);
    const int current = view_.currentRow;
    const int height = view_.geometry.rowHeight;
    for (int row = firstRow_; row <= lastRow_; ++row) {
        const QRect cell(0, view_.geometry.RowTop(row), rect.width(), height);
        if (row == current) {
            painter.fillRect(cell, view_.palette.color(QPalette::Highlight));
            painter.setPen(view_.palette.color(QPalette::HighlightedText));
        } else {
            painter.setPen(fore);
        }
        view_.texts->Draw(painter, font_, cell.adjusted(6, 0, -6, 0), view_.model->RowText(row));
        painter.setPen(Blend(back, fore, 0.12));
        painter.drawLine(0, cell.bottom(), rect.right(), cell.bottom());
    }
    painter.setPen(Blend(back, fore, 0.4));
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
}

// A frame in the highlight colour round the whole grid while it has the keyboard focus.
void ScheduleGridPainter::PaintFocus(QPainter& painter) {
    const QRect all(QPoint(0, 0), view_.geometry.viewport);
    const QColor frame = view_.palette.color(QPalette::Highlight);
    constexpr int kWidth = 2;
    painter.fillRect(QRect(all.left(), all.top(), all.width(), kWidth), frame);
    painter.fillRect(QRect(all.left(), all.bottom() - kWidth + 1, all.width(), kWidth), frame);
    painter.fillRect(QRect(all.left(), all.top(), kWidth, all.height()), frame);
    painter.fillRect(QRect(all.right() - kWidth + 1, all.top(), kWidth, all.height()), frame);
}
