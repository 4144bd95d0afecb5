// The series' sign on the printed bars: an arrow where there is room, a cap where there is
// not, in colour and in black and white, and nothing else of the report moves for it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "store/ClsGlobal.h"
#include "support/RecordingCanvas.h"
#include "support/StoreFixture.h"

namespace {

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

using Kind = RecordingCanvas::Op::Kind;
using Op = RecordingCanvas::Op;

const int32_t kMonday = ClsDate::DayNumberFromCivil(2026, 12, 7);
constexpr uint32_t kBarBack = 0x00123456;
constexpr uint32_t kBarFore = 0x00E0E0E0;
const QString kName = "Bartholomew Montgomery";

struct MarkCase {
    const char* name;
    int16_t view; // 0 day, 1 week, 2 month
    bool colour;
    int startMinute, endMinute; // on Monday; past 1440 into the next days
    bool linked;                // booked with a second date as a series
    enum Sign { None, Arrow, Cap } sign;
};

// One row; the booking under test on Monday and, when linked, its series' other date two months
// later, out of every range shown here. Printable width 14400, names 2400, bars 300 high.
class GanttSeriesMarkTest : public StoreFixture, public ::testing::WithParamInterface<MarkCase> {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        store = std::make_unique<ClsGlobal>(ProgramFolders{dir.path()});
        int32_t id = 0;
        const int32_t type = store->TypeSave(id, "Meeting", static_cast<int32_t>(kBarBack),
                                             static_cast<int32_t>(kBarFore), 15, 0, 15);
        id = 0;
        const int32_t room = store->ResourceSave(id, "Room 1");
        id = 0;
        const int32_t customer = store->CustomerSave(id, kName.toStdString());
        schedule.listTitle = "Rooms";
        // No white in the grid: white is the sign's own.
        schedule.backColor = 0x00F0F0F0;
        schedule.weekendColor = 0x00E0E0E0;
        schedule.rows.push_back({"Room 1", room});
        const MarkCase& c = GetParam();
        booking = Save(customer, room, type, c.startMinute, c.endMinute);
        other = Save(customer, room, type, 60 * 1440 + 600, 60 * 1440 + 660);
    }
    int32_t Save(int32_t customer, int32_t room, int32_t type, int from, int to) {
        int32_t id = 0;
        return store->AppointmentSave(id, customer, room, type,
                                      date.JoinDateTime(kMonday + from / 1440, from % 1440),
                                      date.JoinDateTime(kMonday + to / 1440, to % 1440), "");
    }
    // Each on a canvas of its own, so that neither starts from what the other left set.
    std::vector<Op> Build(bool linked) {
        store->SetSeries(booking, linked ? booking : 0);
        store->SetSeries(other, linked ? booking : 0);
        RecordingCanvas canvas;
        ClsGanttReport report(canvas, *store, date);
        report.state.nameWidth = 2400;
        report.SetSchedule(schedule);
        report.state.viewType = GetParam().view;
        report.state.startDay = kMonday;
        report.state.colorPrint = GetParam().colour;
        report.ShowReport();
        return canvas.ops;
    }

    ClsDate date;
    ScheduleRows schedule;
    std::unique_ptr<ClsGlobal> store;
    int32_t booking = 0;
    int32_t other = 0;
};

TEST_P(GanttSeriesMarkTest, TheSignIsAddedAndNothingElseMoves) {
    const MarkCase& c = GetParam();
    const std::vector<Op> plain = Build(false);
    const std::vector<Op> shown = Build(c.linked);
    const auto barAt = std::find_if(shown.begin(), shown.end(), [](const Op& op) {
        return op.kind == Kind::Rect && op.brushColor == kBarBack;
    });
    ASSERT_NE(barAt, shown.end());
    const Op bar = *barAt;
    // The sign: a square at the bar's right end, then the strokes of its arrow inside it; or
    // the cap over the bar's top third.
    std::vector<Op> sign;
    std::vector<Op> rest;
    for (const Op& op : shown) {
        const bool inSquare =
            !sign.empty() && op.kind == Kind::Line && std::min(op.a, op.c) >= sign[0].a &&
            std::max(op.a, op.c) <= sign[0].a + sign[0].c && std::min(op.b, op.d) >= sign[0].b &&
            std::max(op.b, op.d) <= sign[0].b + sign[0].d;
        const bool square =
            sign.empty() && op.kind == Kind::Rect && op.brushColor == 0x00FFFFFF && op.c == op.d;
        const bool cap = sign.empty() && op.kind == Kind::Rect && op.a == bar.a && op.b == bar.b &&
                         op.c == bar.c && op.d == bar.d / 3;
        (square || inSquare || cap ? sign : rest).push_back(op);
    }
    switch (c.sign) {
    case MarkCase::None:
        EXPECT_TRUE(sign.empty()) << "a sign on a bar of no series";
        break;
    case MarkCase::Cap:
        ASSERT_EQ(sign.size(), 1u);
        EXPECT_EQ(std::tuple(sign[0].brushStyle, sign[0].brushColor, sign[0].penWidth),
                  std::tuple(1, c.colour ? kBarFore : 0u, int16_t{1}))
            << "the cap is filled in the text colour, black without colours, and outlined";
        break;
    case MarkCase::Arrow: {
        ASSERT_EQ(sign.size(), 15u) << "the square and the arrow's 12 chords and 2 head strokes";
        const Op square = sign[0];
        EXPECT_EQ(square.brushStyle, c.colour ? 1 : 0)
            << "white on colour; bare in black and white";
        EXPECT_EQ(square.penWidth, 1);
        EXPECT_EQ(square.a + square.c, bar.a + bar.c - 40) << "not at the bar's right end";
        EXPECT_EQ(square.b - bar.b, bar.b + bar.d - (square.b + square.d)) << "not centred";
        EXPECT_GE(square.c, 100);
        for (size_t i = 1; i < sign.size(); ++i) {
            EXPECT_EQ(sign[i].penWidth, 3);
        }
        break;
    }
    }
    // Everything else is drawn as without the link; only the bar's text may stop earlier,
    // short of the sign.
    ASSERT_EQ(rest.size(), plain.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        const Op& a = rest[i];
        const Op& b = plain[i];
        EXPECT_EQ(std::tuple(a.kind, a.page, a.a, a.b, a.c, a.d, a.penWidth, a.brushColor,
                             a.brushStyle, a.foreColor, a.fontSize),
                  std::tuple(b.kind, b.page, b.a, b.b, b.c, b.d, b.penWidth, b.brushColor,
                             b.brushStyle, b.foreColor, b.fontSize))
            << "op " << i << " moved";
        if (a.text != b.text) {
            EXPECT_TRUE(kName.startsWith(b.text) && b.text.startsWith(a.text))
                << a.text.toStdString();
            ASSERT_EQ(c.sign, MarkCase::Arrow) << "only the arrow takes room from the text";
        }
        const bool onTheBar =
            a.a >= bar.a && a.a < bar.a + bar.c && a.b >= bar.b && a.b < bar.b + bar.d;
        if (c.sign == MarkCase::Arrow && onTheBar && !a.text.isEmpty()) {
            EXPECT_LE(a.a + RecordingCanvas::CharWidth(a.fontSize) * a.text.size(), sign[0].a - 20)
                << "the text runs into the sign";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GanttSeriesMarkTest,
    ::testing::Values(
        // Day view: 500 twips an hour.
        MarkCase{"DayViewColour", 0, true, 9 * 60, 12 * 60, true, MarkCase::Arrow},
        MarkCase{"DayViewBlackAndWhite", 0, false, 9 * 60, 12 * 60, true, MarkCase::Arrow},
        MarkCase{"DayViewNotInASeries", 0, true, 9 * 60, 12 * 60, false, MarkCase::None},
        MarkCase{"JustRoomForTheSign", 0, true, 9 * 60, 9 * 60 + 34, true, MarkCase::Arrow},
        MarkCase{"TooShortForTheArrow", 0, true, 9 * 60, 9 * 60 + 33, true, MarkCase::Cap},
        // Week view: 12000 / 7 twips a day.
        MarkCase{"WeekViewTwoDays", 1, false, 600, 1440 + 600, true, MarkCase::Arrow},
        MarkCase{"WeekViewAnHour", 1, true, 600, 660, true, MarkCase::Cap},
        MarkCase{"MonthViewBlackAndWhite", 2, false, 600, 660, true, MarkCase::Cap}),
    kCaseName);

} // namespace
