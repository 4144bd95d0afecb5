// The Gantt report drawn onto a recording canvas: its ranges, ruler, grid, bars, pages and
// colours, checked to the twip.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "store/ClsGlobal.h"
#include "support/RecordingCanvas.h"
#include "support/StoreFixture.h"

namespace {

using Kind = RecordingCanvas::Op::Kind;
using Op = RecordingCanvas::Op;

int32_t Day(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

constexpr uint32_t kBack = 0x00F0F0F0;
constexpr uint32_t kWeekend = 0x00C0C0FF;
constexpr uint32_t kTitleFore = 0x00000080;
constexpr uint32_t kListFore = 0x00008000;
constexpr uint32_t kBarBack = 0x00123456;
constexpr uint32_t kBarFore = 0x00654321;

// Letter landscape: the printable width W is 14400 and the height 10800; the name column
// is 2400 wide. Rows measure 12 * 25 + 200 = 500, the title 18 * 25 = 450 high.
class GanttReportTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        store = std::make_unique<ClsGlobal>(ProgramFolders{dir.path()});
        report = std::make_unique<ClsGanttReport>(canvas, *store, date);
        schedule.listTitle = "Rooms";
        schedule.backColor = kBack;
        schedule.titleBackColor = 0x00FFFF00;
        schedule.rulerColor = 0x00C0FFC0;
        schedule.listBackColor = 0x00C0FFFF;
        schedule.weekendColor = kWeekend;
        schedule.titleForeColor = kTitleFore;
        schedule.listForeColor = kListFore;
        schedule.weekendMask = 0x41;
        report->state.nameWidth = 2400;
        report->onStatus = [this](const QString& text) { statuses << text; };
        report->onPageLabel = [this](const QString& text) { pageLabel = text; };
        int32_t id = 0;
        type = store->TypeSave(id, "Meeting", static_cast<int32_t>(kBarBack),
                               static_cast<int32_t>(kBarFore), 15, 480, 15);
    }

    // A resource with a row of the schedule (rows in the order added).
    int32_t Row(const QString& name) {
        int32_t id = 0;
        id = store->ResourceSave(id, name.toStdString());
        schedule.rows.push_back({name, id});
        return id;
    }
    int32_t Book(int32_t resource, int32_t startDay, int startMin, int32_t endDay, int endMin,
                 const char* customer = "Ray Tolliver") {
        int32_t c = 0;
        c = store->CustomerSave(c, customer);
        int32_t id = 0;
        return store->AppointmentSave(id, c, resource, type, date.JoinDateTime(startDay, startMin),
                                      date.JoinDateTime(endDay, endMin), "");
    }
    void Build(int16_t view, int32_t start) {
        report->SetSchedule(schedule);
        report->state.viewType = view;
        report->state.startDay = start;
        report->ShowReport();
    }
    std::vector<Op> Ops(Kind kind, const std::function<bool(const Op&)>& keep, int page = 1) const {
        std::vector<Op> kept;
        for (const Op& op : canvas.OfKind(kind, page)) {
            if (keep(op)) {
                kept.push_back(op);
            }
        }
        return kept;
    }
    std::vector<Op> Bars() const {
        return Ops(Kind::Rect, [](const Op& op) { return op.brushColor == kBarBack; });
    }
    // The ruler's tick lines (the thin verticals of the ruler row) of a page.
    std::vector<int32_t> Ticks(int page = 1) const {
        std::vector<int32_t> ticks;
        for (const Op& op : Ops(
                 Kind::Line,
                 [](const Op& o) { return o.penWidth == 1 && o.a == o.c && o.d - o.b == 250; },
                 page)) {
            ticks.push_back(op.a);
        }
        return ticks;
    }
    // The ruler's labels: centred 8-point texts.
    std::vector<Op> Labels() const {
        return Ops(Kind::Text, [](const Op& op) { return op.fontSize == 8 && op.align == 1; });
    }

    ClsDate date;
    RecordingCanvas canvas;
    ScheduleRows schedule;
    std::unique_ptr<ClsGlobal> store;
    std::unique_ptr<ClsGanttReport> report;
    int32_t type = 0;
    QStringList statuses;
    QString pageLabel;
};

TEST_F(GanttReportTest, WeekColumnsAndADayBarLandWhereTheGeometrySaysTheyDo) {
    const int32_t room = Row("Room 1");
    const int32_t monday = Day(2026, 12, 7);
    Book(room, monday, 9 * 60, monday, 17 * 60);

    Build(1, monday);
    EXPECT_EQ(Ticks(), (std::vector<int32_t>{2400, 4114, 5828, 7542, 9257, 10971, 12685, 14400}));
    ASSERT_EQ(Labels().size(), 7u);
    EXPECT_EQ(std::pair(Labels()[0].a, Labels()[0].text), std::pair(3257, QString("07")));

    Build(0, monday);
    // The bar spans the middle band of its row (top 450 + 200 + 250): 100 in from its lines.
    ASSERT_EQ(Bars().size(), 1u);
    const Op bar = Bars()[0];
    EXPECT_EQ(std::tuple(bar.a, bar.a + bar.c, bar.b, bar.d),
              std::tuple(6900, 10900, 450 + 200 + 250 + 100, 500 - 200));
}

struct RangeCase {
    const char* name;
    int16_t view;
    int32_t from;
    int32_t first, last;
    const char* title;
    int labels;
    const char* lastLabel;
    int dateFormat = 0;
};
const RangeCase kRanges[] = {
    {"DayStaysOnItsDay", 0, Day(2026, 12, 9), Day(2026, 12, 9), Day(2026, 12, 9), "09/12/2026", 24,
     "23"},
    {"WeekFromASundayGoesBackSixDays", 1, Day(2026, 12, 13), Day(2026, 12, 7), Day(2026, 12, 13),
     "07/12/2026 to 13/12/2026", 7, "13"},
    {"WeekFromAMondayStays", 1, Day(2026, 12, 7), Day(2026, 12, 7), Day(2026, 12, 13),
     "07/12/2026 to 13/12/2026", 7, "13"},
    {"WeekAcrossTheYear", 1, Day(2027, 1, 1), Day(2026, 12, 28), Day(2027, 1, 3),
     "28/12/2026 to 03/01/2027", 7, "03"},
    {"MonthOfALeapFebruary", 2, Day(2024, 2, 15), Day(2024, 2, 1), Day(2024, 2, 29),
     "01/02/2024 to 29/02/2024", 29, "29"},
    {"MonthOfAPlainFebruary", 2, Day(2026, 2, 28), Day(2026, 2, 1), Day(2026, 2, 28),
     "01/02/2026 to 28/02/2026", 28, "28"},
    {"MonthFromItsLastDay", 2, Day(2026, 12, 31), Day(2026, 12, 1), Day(2026, 12, 31),
     "01/12/2026 to 31/12/2026", 31, "31"},
    {"MonthFirstDates", 1, Day(2026, 12, 7), Day(2026, 12, 7), Day(2026, 12, 13),
     "12/07/2026 to 12/13/2026", 7, "13", 1},
};

class Ranges : public GanttReportTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(Ranges, StartIsBroughtToTheViewAndTheRulerHasAColumnPerUnit) {
    const RangeCase& c = GetParam();
    Row("Room 1");
    store->SetDateFormat(c.dateFormat);
    Build(c.view, c.from);
    EXPECT_EQ(report->state.startDay, c.first);
    EXPECT_EQ(report->state.endDay, c.last);
    EXPECT_EQ(report->RangeText(), c.title);
    const std::vector<Op> titles = Ops(Kind::Text, [](const Op& op) { return op.fontSize == 18; });
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].text, c.title);
    EXPECT_EQ(titles[0].a, 7200) << "centred on the printable width";
    EXPECT_EQ(titles[0].b, 25);
    EXPECT_EQ(canvas.headers.at(1).left(10), c.dateFormat ? "12/05/2026" : "05/12/2026");
    ASSERT_EQ(Labels().size(), static_cast<size_t>(c.labels));
    EXPECT_EQ(Labels().back().text, c.lastLabel);
    EXPECT_EQ(Ticks().size(), static_cast<size_t>(c.labels + 1));
    EXPECT_EQ(Ticks().front(), 2400);
    EXPECT_EQ(Ticks().back(), 14400);
}

INSTANTIATE_TEST_SUITE_P(Table, Ranges, ::testing::ValuesIn(kRanges),
                         [](const auto& row) { return std::string(row.param.name); });

// A day's 24 labels: the 24-hour clock, or the 12-hour one with am and pm where a column
// holds them (Letter landscape, 500 a column) and without where it does not (portrait, 350);
// noon and midnight read 12 either way. The time printed in the header follows the clock too.
TEST_F(GanttReportTest, HourLabelsFollowTheClockSetting) {
    Row("Room 1");
    const struct {
        bool military;
        int32_t pageWidth;
        QString first, noon, afternoon, last, printed;
    } rows[] = {{true, 15840, "00", "12", "13", "23", "08:00"},
                {false, 15840, "12am", "12pm", "1pm", "11pm", "8:00am"},
                {false, 12240, "12", "12", "1", "11", "8:00am"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.pageWidth);
        store->SetOption(4, r.military);
        canvas.pageWidth = r.pageWidth;
        Build(0, Day(2026, 12, 7));
        ASSERT_EQ(Labels().size(), 24u);
        EXPECT_EQ((QStringList{Labels()[0].text, Labels()[12].text, Labels()[13].text,
                               Labels()[23].text}),
                  (QStringList{r.first, r.noon, r.afternoon, r.last}));
        EXPECT_EQ(canvas.headers.at(1).section('|', 0, 0), "05/12/2026 " + r.printed);
    }
}

TEST_F(GanttReportTest, BarsAreClippedToTheRangeAndOthersLeftOut) {
    const int32_t monday = Day(2026, 12, 7);
    const int32_t before = Row("Before");
    const int32_t after = Row("After");
    const int32_t outside = Row("Outside");
    const int32_t across = Row("Across");
    int32_t other = 0;
    other = store->ResourceSave(other, "Not a row");
    Book(before, monday - 3, 600, monday + 1, 720);  // from the Friday before
    Book(after, monday + 6, 1200, monday + 8, 60);   // into the next week
    Book(outside, monday - 1, 600, monday - 1, 700); // the Sunday before
    Book(outside, monday + 7, 0, monday + 7, 60);    // the Monday after
    Book(across, monday - 10, 0, monday + 20, 0);    // over the whole week
    Book(other, monday + 2, 600, monday + 2, 700);   // a resource without a row
    Build(1, monday + 3);
    std::vector<std::pair<int32_t, int32_t>> spans;
    for (const Op& bar : Bars()) {
        spans.emplace_back(bar.a, bar.a + bar.c);
    }
    EXPECT_EQ(spans, (std::vector<std::pair<int32_t, int32_t>>{
                         {2400, 2400 + (1440 + 720) * 12000 / (7 * 1440)},
                         {2400 + (6 * 1440 + 1200) * 12000 / (7 * 1440), 14400},
                         {2400, 14400}}));
    ASSERT_EQ(Bars().size(), 3u);
    EXPECT_EQ(Bars()[2].b, Bars()[0].b + 3 * 500) << "on the fourth row";
}

struct PageCase {
    int rows;
    int pages;
};

class PageBreaks : public GanttReportTest, public ::testing::WithParamInterface<PageCase> {};

// A page holds 19 rows: they start at 900 and a row of 500 is followed by a break once the
// next would pass 10800 - 500.
TEST_P(PageBreaks, FallBetweenRowsAndNeverLeaveAnEmptyPage) {
    for (int i = 0; i < GetParam().rows; ++i) {
        Row(QStringLiteral("Room %1").arg(i + 1, 2, 10, QLatin1Char('0')));
    }
    Build(1, Day(2026, 12, 7));
    ASSERT_EQ(canvas.PageCount(), GetParam().pages);
    EXPECT_EQ(canvas.calls.count("NewPage"), GetParam().pages - 1);
    EXPECT_EQ(pageLabel, QStringLiteral("1/%1").arg(GetParam().pages));
    int rowsSeen = 0;
    for (int page = 1; page <= GetParam().pages; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(canvas.headers.at(page),
                  QStringLiteral("05/12/2026 08:00|Rooms|Page %1").arg(page));
        EXPECT_EQ(canvas.footers.at(page), "Tidemar Resource Planner||Orvane Ltd");
        int titles = 0, names = 0, rules = 0;
        int32_t lowest = 0;
        for (const Op& op : canvas.ops) {
            const bool here = op.page == page, text = here && op.kind == Kind::Text;
            titles += text && op.fontSize == 18;
            names += text && op.fontSize == 12;
            rules += here && op.kind == Kind::Line && op.b == 650 && op.d == 650 && op.c == 14400;
            lowest = here ? std::max({lowest, op.b, op.d}) : lowest;
        }
        EXPECT_EQ(std::tuple(titles, rules, Ticks(page).size()), std::tuple(1, 1, 8u));
        EXPECT_TRUE(names >= 1 && names <= 19) << names;
        EXPECT_LE(lowest, 10800) << "nothing below the printable area";
        rowsSeen += names;
    }
    EXPECT_EQ(rowsSeen, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Table, PageBreaks,
                         ::testing::Values(PageCase{1, 1}, PageCase{19, 1}, PageCase{20, 2},
                                           PageCase{38, 2}, PageCase{39, 3}, PageCase{60, 4}),
                         [](const auto& row) { return "Rows" + std::to_string(row.param.rows); });

TEST_F(GanttReportTest, ColourFillsCellsAndBarsAndColourOffFillsNothingAndPrintsBlack) {
    const int32_t room = Row("Room 1");
    const int32_t monday = Day(2026, 12, 7);
    Book(room, monday, 540, monday, 1020);
    report->state.colorPrint = true;
    Build(1, monday);
    std::vector<uint32_t> cells;
    for (const Op& op : canvas.OfKind(Kind::Rect)) {
        EXPECT_EQ(op.brushStyle, 1);
        if (op.d == 500 && op.a >= 2400) {
            cells.push_back(op.brushColor);
        }
    }
    EXPECT_EQ(cells,
              (std::vector<uint32_t>{kBack, kBack, kBack, kBack, kBack, kWeekend, kWeekend}));
    QList<uint32_t> inks;
    for (const Op& op : canvas.OfKind(Kind::Text)) {
        inks << op.foreColor;
    }
    EXPECT_TRUE(inks.contains(kTitleFore) && inks.contains(kListFore) && inks.contains(kBarFore));

    report->state.colorPrint = false;
    Build(1, monday);
    ASSERT_FALSE(canvas.OfKind(Kind::Rect).empty());
    for (const Op& op : canvas.OfKind(Kind::Rect)) {
        EXPECT_EQ(op.brushStyle, 0);
    }
    ASSERT_FALSE(canvas.OfKind(Kind::Text).empty());
    for (const Op& op : canvas.OfKind(Kind::Text)) {
        EXPECT_EQ(op.foreColor, 0u) << op.text.toStdString();
    }
}

// A filled bar narrower than 60 twips has no outline, which would hide its colour; the pen is
// back for what follows. Without colour the outline is the bar.
TEST_F(GanttReportTest, NarrowFilledBarsGoWithoutOutline) {
    const int32_t first = Day(2026, 12, 1);
    // A month of 31 days: 12000 twips for 44640 minutes.
    const std::pair<int, int16_t> rows[] = {{60, 0}, {180, 0}, {240, 1}, {1440, 1}};
    for (const auto& [minutes, pen] : rows) {
        Book(Row(QString::number(minutes)), first + 1, 0, first + 1, minutes);
    }
    for (bool colour : {true, false}) {
        SCOPED_TRACE(colour ? "colour" : "black and white");
        report->state.colorPrint = colour;
        Build(2, first);
        ASSERT_EQ(Bars().size(), std::size(rows));
        for (size_t i = 0; i < std::size(rows); ++i) {
            EXPECT_EQ(Bars()[i].penWidth, colour ? rows[i].second : 1) << rows[i].first;
        }
        const int32_t firstBar = Bars()[0].b;
        const auto later =
            Ops(Kind::Rect, [&](const Op& op) { return op.a == 0 && op.b > firstBar; });
        ASSERT_EQ(later.size(), std::size(rows) - 1);
        for (const Op& nameCell : later) {
            EXPECT_EQ(nameCell.penWidth, 1);
        }
    }
}

TEST_F(GanttReportTest, TextsAreCutToTheLongestPrefixThatFits) {
    // 12-point names are 120 a character: 19 fit beside the 75 margin in 2400.
    const int32_t room = Row(QString(40, u'N'));
    const int32_t monday = Day(2026, 12, 7);
    Book(room, monday, 540, monday, 600, "Abcdefghijklmnop"); // 500 wide: 7 of 60 fit
    Book(room, monday, 700, monday, 703, "Tiny");             // 25 wide: nothing fits
    Book(room, monday, 800, monday, 1200, "Short");           // fits whole
    Build(0, monday);
    QStringList names, barTexts;
    for (const Op& op : canvas.OfKind(Kind::Text)) {
        (op.fontSize == 12 ? names : op.fontSize == 6 ? barTexts : names) << op.text;
    }
    EXPECT_EQ(names.filter(QStringLiteral("N")), QStringList{QString(19, u'N')});
    EXPECT_EQ(barTexts, (QStringList{"Abcdefg", "", "Short"}));
    const std::vector<Op> texts = canvas.OfKind(Kind::Text);
    const std::vector<Op> bars = Bars();
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(texts.back().a, bars[2].a + 75);
    EXPECT_EQ(texts.back().b, bars[2].b + 75);
}

// The longest prefix that fits, found by halving rather than one character at a time.
TEST_F(GanttReportTest, CuttingHalvesToTheLongestPrefixThatFits) {
    canvas.SetFontSize(12);
    const QString text(500, u'x');
    for (int32_t width : {0, 74, 75, 195, 2400, 60075, 60076}) {
        SCOPED_TRACE(width);
        canvas.measures = 0;
        const QString shown = report->FitText(text, width);
        EXPECT_EQ(shown.size(), std::clamp<int64_t>((int64_t{width} - 75) / 120, 0, 500));
        EXPECT_LE(canvas.measures, 12);
        EXPECT_EQ(canvas.TextWidth(), shown.size() * 120) << "the result is the last measured";
    }
}

TEST_F(GanttReportTest, AScheduleWithoutRowsMakesADocumentWithNothingDrawn) {
    Build(1, Day(2026, 12, 7));
    EXPECT_EQ(canvas.calls, (QStringList{"StartDoc", "EndDoc", "SetCurrentPage 1"}));
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_TRUE(canvas.headers.empty());
    EXPECT_EQ(pageLabel, "1/1");
    EXPECT_EQ(statuses, QStringList{"Ready!"});
}

// The name column both the preview and the command-line report take from the schedule's
// title column: 20 twips a pixel up to 4000, and an impossible width an overflow.
TEST(GanttReportNameWidth, IsTwentyTwipsAPixelAtMostFourThousand) {
    EXPECT_EQ(std::tuple(ClsGanttReport::NameWidthFor(110), ClsGanttReport::NameWidthFor(199),
                         ClsGanttReport::NameWidthFor(200), ClsGanttReport::NameWidthFor(280)),
              std::tuple(2200, 3980, 4000, 4000));
    EXPECT_THROW(ClsGanttReport::NameWidthFor(2'000'000), std::overflow_error);
}

} // namespace
