#include "report/ClsGanttReport.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "base/Clock.h"
#include "datetime/ClsDate.h"
#include "report/ReportCanvas.h"
#include "report/ReportTrap.h"
#include "store/ClsGlobal.h"
#include "ui/SeriesPlace.h"

namespace {

using Checked::Add;
using Checked::Mul;
using Checked::Sub;

constexpr const char* kModule = "DlgSchedulePrint";
// Space a ruler label leaves between itself and the ticks of its column.
constexpr int32_t kLabelRoom = 40;
// The narrowest filled bar that still gets an outline, in twips.
constexpr int32_t kLeastOutlinedBar = 60;
// The series' sign: its largest side, its distance from the bar's edges and from the text,
// and the pen of its arrow.
constexpr int32_t kSeriesMarkSide = 200;
constexpr int32_t kSeriesMarkPad = 40;
constexpr int32_t kSeriesMarkGap = 20;
constexpr int16_t kSeriesMarkPen = 3;

template <class F> void Guard(const char* module, const char* procedure, F&& body) {
    ReportTrap(module, procedure, std::forward<F>(body));
}

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

ClsGanttReport::ClsGanttReport(ReportCanvas& canvas, const ClsGlobal& store, const ClsDate& date)
    : canvas_(canvas), store_(store), date_(date) {}

void ClsGanttReport::Status(const QString& text) {
    if (onStatus) {
        onStatus(text);
    }
}

int32_t ClsGanttReport::NameWidthFor(int listWidth) {
    return std::min(Checked::Mul(listWidth, 2000) / 100, 4000);
}

int32_t ClsGanttReport::PrintableWidth() const {
    if (buildWidth_) {
        return *buildWidth_;
    }
    return Sub(Sub(canvas_.PageWidth(), canvas_.MarginLeft()), canvas_.MarginRight());
}

int32_t ClsGanttReport::PrintableHeight() const {
    return Sub(Sub(canvas_.PageHeight(), canvas_.MarginTop()), canvas_.MarginBottom());
}

void ClsGanttReport::ShowReport() {
    if (state.busy) {
        return;
    }
    finished_ = false;
    Guard("DlgPreview", "ShowReport", [&] {
        switch (state.viewType) {
        case 0:
            state.endDay = state.startDay;
            break;
        case 1:
            while (ClsDate::Weekday(state.startDay) != 1) {
                state.startDay = Sub(state.startDay, 1);
            }
            state.endDay = Add(state.startDay, 6);
            break;
        case 2:
            state.startDay = date_.FirstDayOfMonth(state.startDay);
            state.endDay = date_.LastDayOfMonth(state.startDay);
            break;
        default:
            break;
        }
        GanttReport();
    });
}

void ClsGanttReport::GanttReport() {
    buildWidth_.reset();
    Guard(kModule, "GanttReport", [&] {
        canvas_.StartDoc();
        buildWidth_ = PrintableWidth();
        names_.Begin(store_);
        bool pageNeeded = true;
        const size_t rows = schedule_.rows.size();
        for (size_t r = 0; r < rows; ++r) {
            const ScheduleRows::Row& row = schedule_.rows[r];
            if (pageNeeded) {
                pageNeeded = false;
                const Clock::LocalTime now = Clock::Now();
                const QString printedAt = ShowDateVal(date_.Today()) + u' ' +
                                          QString::fromStdString(ClsDate::TimeText(
                                              now.hour * 60 + now.minute, store_.Option(4)));
                PageLegends(printedAt, schedule_.listTitle,
                            QStringLiteral("Page %1").arg(canvas_.CurrentPage()),
                            QStringLiteral("Tidemar Resource Planner"), QString(),
                            QStringLiteral("Orvane Ltd"));
                PageBorder(RangeText());
                const int32_t rule = Add(canvas_.TextHeight(), 200);
                canvas_.DrawLine(0, rule, PrintableWidth(), rule);
                GanttShowRuler();
            }
            GanttShowGrid(row.text);

            // The store's index of the resource gives its appointments in collection order,
            // with their times, so only this row's appointments are looked at.
            bool named = false;
            for (const ResourceSlot& slot : store_.AppointmentsOfResource(row.id)) {
                const int32_t sd = date_.SplitDateVal(slot.startDtTm);
                const int32_t ed = date_.SplitDateVal(slot.endDtTm);
                const bool inRange = (sd >= state.startDay && sd <= state.endDay) ||
                                     (ed >= state.startDay && ed <= state.endDay) ||
                                     (sd < state.startDay && ed > state.endDay);
                if (!inRange) {
                    continue;
                }
                const ClsAppointment* a = store_.Appointments().Get(slot.id);
                if (a == nullptr) {
                    continue;
                }
                if (!named) {
                    named = true;
                    Status(QString::fromStdString(store_.ResourceLoad(a->ResourceId())->Name())
                               .trimmed());
                }
                const auto [back, fore] = names_.TypeColors(store_, a->TypeId());
                GanttShowBar(names_.CustomerName(store_, a->CustomerId()), back, fore,
                             slot.startDtTm, slot.endDtTm, SeriesPlace::Marked(store_, slot.id));
            }

            canvas_.SetCurrentY(Add(canvas_.CurrentY(), state.rowHeight));
            if (r + 1 < rows && canvas_.CurrentY() > Sub(PrintableHeight(), state.rowHeight)) {
                canvas_.NewPage();
                pageNeeded = true;
            }
        }
        canvas_.EndDoc();
        canvas_.SetCurrentPage(1);
        if (onPageLabel) {
            onPageLabel(
                QStringLiteral("%1/%2").arg(canvas_.CurrentPage()).arg(canvas_.PageCount()));
        }
        finished_ = true;
        if (onRefresh) {
            onRefresh();
        }
    });
    buildWidth_.reset();
    Status(QStringLiteral("Ready!"));
}

void ClsGanttReport::PageLegends(const QString& s1, const QString& s2, const QString& s3,
                                 const QString& s4, const QString& s5, const QString& s6) {
    Guard(kModule, "PageLegends", [&] {
        canvas_.SetFontSize(8);
        canvas_.SetFontBold(true);
        canvas_.SetHeader(s1 + u'|' + s2 + u'|' + s3);
        canvas_.SetFooter(s4 + u'|' + s5 + u'|' + s6);
    });
}

void ClsGanttReport::PageBorder(const QString& text) {
    Guard(kModule, "PageBorder", [&] {
        canvas_.SetFontSize(18);
        canvas_.SetFontBold(true);
        canvas_.SetTextAlign(1);
        canvas_.TextOut(PrintableWidth() / 2, 25, text);
        canvas_.SetCurrentX(0);
        canvas_.SetCurrentY(Add(canvas_.TextHeight(), 200));
    });
}

void ClsGanttReport::GanttShowRuler() {
    Guard(kModule, "GanttShowRuler", [&] {
        const int32_t top = canvas_.CurrentY();
        const bool hours24 = store_.Option(4);
        const int32_t width = PrintableWidth();
        const int32_t bottom = Add(top, 250);
        const int32_t labelTop = Add(top, 20);
        const int32_t nameWidth = state.nameWidth;
        const int32_t brushStyle = state.colorPrint ? 1 : 0;
        canvas_.SetTextWidth(nameWidth);
        canvas_.SetFontSize(8);
        canvas_.SetFontBold(true);
        canvas_.SetTextAlign(0);
        state.rowHeight = 250;
        canvas_.SetBrushColor(schedule_.titleBackColor);
        canvas_.SetBrushStyle(brushStyle);
        canvas_.DrawRect(0, top, nameWidth, 250);
        canvas_.SetBrushColor(schedule_.rulerColor);
        canvas_.SetBrushStyle(brushStyle);
        canvas_.DrawRect(nameWidth, top, Sub(width, nameWidth), 250);
        canvas_.SetForeColor(state.colorPrint ? schedule_.titleForeColor : 0);
        canvas_.TextOut(50, labelTop, schedule_.listTitle);
        canvas_.SetPenWidth(5);
        canvas_.DrawLine(0, top, 0, bottom);
        canvas_.DrawLine(0, bottom, width, bottom);
        canvas_.DrawLine(nameWidth, top, nameWidth, bottom);
        canvas_.SetPenWidth(1);
        canvas_.SetTextAlign(1);
        canvas_.SetBrushColor(schedule_.rulerColor);
        canvas_.SetBrushStyle(brushStyle);

        // Ticks at every column boundary, a label centred in every column.
        auto columns = [&](int32_t count, auto label) {
            for (int32_t i = 0; i <= count; ++i) {
                const int32_t x = GetPercentXpos(nameWidth, i, count);
                canvas_.DrawLine(x, top, x, bottom);
                if (i < count) {
                    const int32_t next = GetPercentXpos(nameWidth, Add(i, 1), count);
                    canvas_.TextOut(Add(x, Sub(next, x) / 2), labelTop, label(i));
                }
            }
        };
        if (state.startDay != state.endDay) {
            columns(Add(Sub(state.endDay, state.startDay), 1), [&](int32_t i) {
                int y = 0, m = 0, d = 0;
                ClsDate::CivilFromDayNumber(Add(state.startDay, i), y, m, d);
                return TwoDigits(d);
            });
        } else {
            // On the 12-hour clock the hours read 12, 1 .. 11 twice, with am and pm where the
            // narrowest column holds the widest of them.
            using Style = ClsDate::TimeStyle;
            QStringList labels;
            int32_t widest = 0;
            for (int32_t i = 0; i < 24; ++i) {
                labels << QString::fromStdString(
                    ClsDate::TimeText(i * 60, hours24, hours24 ? Style::Hour : Style::Short));
                canvas_.SetMeasureText(labels.back());
                widest = std::max(widest, canvas_.TextWidth());
            }
            const int32_t column = Sub(GetPercentXpos(nameWidth, 1, 24), nameWidth);
            const bool suffixes = hours24 || Add(widest, kLabelRoom) <= column;
            columns(24, [&](int32_t i) {
                return suffixes
                           ? labels[i]
                           : QString::fromStdString(ClsDate::TimeText(i * 60, false, Style::Hour));
            });
        }
        canvas_.SetCurrentY(Add(canvas_.CurrentY(), state.rowHeight));
    });
}

void ClsGanttReport::GanttShowGrid(const QString& name) {
    Guard(kModule, "GanttShowGrid", [&] {
        const int32_t top = canvas_.CurrentY();
        const int32_t nameWidth = state.nameWidth;
        const int32_t brushStyle = state.colorPrint ? 1 : 0;
        canvas_.SetTextWidth(nameWidth);
        canvas_.SetFontSize(12);
        canvas_.SetFontBold(true);
        canvas_.SetTextAlign(0);
        const QString shown = FitText(name, nameWidth);
        state.rowHeight = Add(canvas_.TextHeight(), 200);
        const int32_t height = state.rowHeight;
        const int32_t bottom = Add(top, height);
        canvas_.SetBrushColor(schedule_.listBackColor);
        canvas_.SetBrushStyle(brushStyle);
        canvas_.DrawRect(0, top, nameWidth, height);
        canvas_.SetForeColor(state.colorPrint ? schedule_.listForeColor : 0);
        canvas_.TextOut(50, Add(top, 100), shown);
        canvas_.SetPenWidth(5);
        canvas_.DrawLine(0, top, 0, bottom);
        canvas_.DrawLine(0, bottom, PrintableWidth(), bottom);
        canvas_.DrawLine(nameWidth, top, nameWidth, bottom);
        canvas_.SetPenWidth(1);

        auto cellColor = [&](int32_t day) {
            return (schedule_.weekendMask >> ClsDate::Weekday(day)) & 1 ? schedule_.weekendColor
                                                                        : schedule_.backColor;
        };
        if (state.startDay != state.endDay) {
            const int32_t n = Add(Sub(state.endDay, state.startDay), 1);
            for (int32_t i = 0; i < n; ++i) {
                canvas_.SetBrushColor(cellColor(Add(state.startDay, i)));
                canvas_.SetBrushStyle(brushStyle);
                const int32_t x1 = GetPercentXpos(nameWidth, i, n);
                const int32_t x2 = GetPercentXpos(nameWidth, Add(i, 1), n);
                canvas_.DrawRect(x1, top, Sub(x2, x1), height);
            }
        } else {
            canvas_.SetBrushColor(cellColor(state.startDay));
            canvas_.SetBrushStyle(brushStyle);
            for (int32_t i = 0; i < 24; ++i) {
                const int32_t x1 = GetPercentXpos(nameWidth, i, 24);
                const int32_t x2 = GetPercentXpos(nameWidth, i + 1, 24);
                canvas_.DrawRect(x1, top, Sub(x2, x1), height);
            }
        }
    });
}

void ClsGanttReport::GanttShowBar(const QString& text, uint32_t colour, uint32_t textColour,
                                  int32_t start, int32_t end, bool series) {
    Guard(kModule, "GanttShowBar", [&] {
        const int32_t total = Mul(Add(Sub(state.endDay, state.startDay), 1), 1440);
        int32_t s = date_.SplitDateVal(start);
        int32_t sm = date_.SplitTimeVal(start);
        int32_t e = date_.SplitDateVal(end);
        int32_t em = date_.SplitTimeVal(end);
        if (s < state.startDay) {
            s = state.startDay;
            sm = 0;
        }
        if (e > state.endDay) {
            e = state.endDay;
            em = 1440;
        }
        const int32_t barTop = Add(canvas_.CurrentY(), 100);
        const int32_t barHeight = Sub(state.rowHeight, 200);
        const int32_t x1 =
            GetPercentXpos(state.nameWidth, Add(Mul(Sub(s, state.startDay), 1440), sm), total);
        const int32_t x2 =
            GetPercentXpos(state.nameWidth, Add(Mul(Sub(e, state.startDay), 1440), em), total);
        const int32_t barWidth = Sub(x2, x1);
        canvas_.SetBrushColor(colour);
        canvas_.SetBrushStyle(state.colorPrint ? 1 : 0);
        // A filled bar too narrow for its outline is only filled: at a month's scale the
        // outlines of thousands of short bookings would print the rows black. Without
        // colour the outline is all there is of a bar.
        const bool outlined = !state.colorPrint || barWidth >= kLeastOutlinedBar;
        if (!outlined) {
            canvas_.SetPenWidth(0);
        }
        canvas_.DrawRect(x1, barTop, barWidth, barHeight);
        if (!outlined) {
            canvas_.SetPenWidth(1);
        }
        canvas_.SetFontSize(6);
        canvas_.SetFontBold(true);
        canvas_.SetTextAlign(0);
        canvas_.SetForeColor(state.colorPrint ? textColour : 0);
        // The text stops short of the sign.
        const int32_t markSide = series ? SeriesMarkSide(barWidth, barHeight) : 0;
        const int32_t textRoom =
            markSide > 0 ? Sub(barWidth, markSide + kSeriesMarkPad + kSeriesMarkGap) : barWidth;
        canvas_.SetTextWidth(textRoom);
        const QString shown = FitText(text, textRoom);
        canvas_.TextOut(Add(x1, 75), Add(barTop, 75), shown);
        canvas_.SetForeColor(0);
        if (markSide > 0) {
            GanttShowSeriesMark(Sub(x2, markSide + kSeriesMarkPad),
                                Add(barTop, (barHeight - markSide) / 2), markSide);
        } else if (series) {
            GanttShowSeriesCap(x1, barTop, barWidth, barHeight, textColour);
        }
    });
}

int32_t ClsGanttReport::SeriesMarkSide(int32_t barWidth, int32_t barHeight) {
    const int32_t side = std::min(barHeight - kSeriesMarkPad, kSeriesMarkSide);
    // Smaller than this the arrow would print as a blot.
    if (side < 100 || barWidth < side + 2 * kSeriesMarkPad) {
        return 0;
    }
    return side;
}

void ClsGanttReport::GanttShowSeriesCap(int32_t x, int32_t y, int32_t width, int32_t height,
                                        uint32_t textColour) {
    Guard(kModule, "GanttShowSeriesCap", [&] {
        // Outlined: a light text colour on a bar too short for its own outline would
        // otherwise read as the paper.
        canvas_.SetPenWidth(1);
        canvas_.SetBrushColor(state.colorPrint ? textColour : 0);
        canvas_.SetBrushStyle(1);
        canvas_.DrawRect(x, y, width, height / 3);
    });
}

void ClsGanttReport::GanttShowSeriesMark(int32_t x, int32_t y, int32_t side) {
    Guard(kModule, "GanttShowSeriesMark", [&] {
        canvas_.SetPenWidth(1);
        canvas_.SetBrushColor(0x00FFFFFF);
        canvas_.SetBrushStyle(state.colorPrint ? 1 : 0);
        canvas_.DrawRect(x, y, side, side);
        // An arc open at the top, clockwise, as on the screen's bars; lines are all the
        // canvas has, so it is drawn in short chords.
        constexpr double kStart = 70.0;
        constexpr double kSweep = -290.0;
        constexpr int kChords = 12;
        const double cx = x + side / 2.0;
        const double cy = y + side / 2.0;
        const double radius = side * 0.28;
        const auto at = [&](double degrees) {
            const double r = degrees * std::numbers::pi / 180.0;
            return std::pair{cx + radius * std::cos(r), cy - radius * std::sin(r)};
        };
        const auto line = [&](std::pair<double, double> a, std::pair<double, double> b) {
            canvas_.DrawLine(static_cast<int32_t>(std::lround(a.first)),
                             static_cast<int32_t>(std::lround(a.second)),
                             static_cast<int32_t>(std::lround(b.first)),
                             static_cast<int32_t>(std::lround(b.second)));
        };
        canvas_.SetPenWidth(kSeriesMarkPen);
        for (int i = 0; i < kChords; ++i) {
            line(at(kStart + kSweep * i / kChords), at(kStart + kSweep * (i + 1) / kChords));
        }
        // The head: two strokes back from the arc's end, either side of it.
        const double end = (kStart + kSweep) * std::numbers::pi / 180.0;
        const auto tip = at(kStart + kSweep);
        const double head = side * 0.22;
        const double along[2] = {std::sin(end), std::cos(end)};
        const double out[2] = {std::cos(end), -std::sin(end)};
        for (int sideOf : {1, -1}) {
            line(tip, {tip.first - head * along[0] + sideOf * head * 0.8 * out[0],
                       tip.second - head * along[1] + sideOf * head * 0.8 * out[1]});
        }
        canvas_.SetPenWidth(1);
    });
}

int32_t ClsGanttReport::GetPercentXpos(int32_t base, int32_t part, int32_t whole) {
    int32_t x = 0;
    bool failed = true;
    Guard(kModule, "GetPercentXpos", [&] {
        if (whole == 0) {
            throw DivisionByZero();
        }
        x = Add(base, Mul(part, Sub(PrintableWidth(), base)) / whole);
        failed = false;
    });
    if (failed) {
        throw AlreadyLogged{};
    }
    return x;
}

QString ClsGanttReport::ShowDateVal(int32_t day) {
    QString text;
    Guard(kModule, "ShowDateVal", [&] {
        int y = 0, m = 0, d = 0;
        ClsDate::CivilFromDayNumber(day, y, m, d);
        const QString year = QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0'));
        text = store_.DateFormat() != 0 ? TwoDigits(m) + u'/' + TwoDigits(d) + u'/' + year
                                        : TwoDigits(d) + u'/' + TwoDigits(m) + u'/' + year;
    });
    return text;
}

QString ClsGanttReport::RangeText() {
    if (state.startDay == state.endDay) {
        return ShowDateVal(state.startDay);
    }
    return ShowDateVal(state.startDay) + QStringLiteral(" to ") + ShowDateVal(state.endDay);
}

QString ClsGanttReport::FitText(const QString& text, int32_t width) {
    auto fitsWidth = [&] { return int64_t{canvas_.TextWidth()} + 75 <= width; };
    // Nothing but an empty text fits a space narrower than the margin: no need to measure.
    if (width < 75 && !text.isEmpty()) {
        canvas_.SetMeasureText(QString());
        return QString();
    }
    canvas_.SetMeasureText(text);
    if (text.isEmpty() || fitsWidth()) {
        return text;
    }
    qsizetype fits = 0;
    {
        qsizetype tooWide = text.size();
        while (tooWide - fits > 1) {
            const qsizetype mid = fits + (tooWide - fits) / 2;
            canvas_.SetMeasureText(text.left(mid));
            if (fitsWidth()) {
                fits = mid;
            } else {
                tooWide = mid;
            }
        }
    }
    const QString shown = text.left(fits);
    canvas_.SetMeasureText(shown);
    return shown;
}
