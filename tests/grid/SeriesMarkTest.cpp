// The sign on the bars of a series: where it goes, that it shows in the bar's text colour at
// any zoom without covering the text, and the tooltip's note.
#include "grid/SeriesMark.h"
#include "grid/ScheduleGrid.h"
#include "platform/ColorRef.h"

#include <QApplication>
#include <QDate>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

const int32_t kMonday = static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(2026, 12, 7)));
const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

using Shape = SeriesMark::Shape;

struct PaintCase {
    const char* name;
    int16_t resolution; // pixels an hour
    int startMinute, endMinute;
    bool series;
    bool selected;
    uint32_t fill, ink;
};

// One bar on Tuesday of the week shown, its text long enough to run to its end.
class SeriesMarkPaintTest : public ::testing::TestWithParam<PaintCase> {
protected:
    void SetUp() override {
        grid->resize(1400, 300);
        grid->SetBackColor(0x00FFFFFF);
        grid->SetTimeLines(false);
        grid->SetDateFirst(kMonday);
        grid->SetDateLast(kMonday + 6);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }
    // Pixels of the area near enough the colour to read as it.
    static int Near(const QImage& image, const QRect& area, const QColor& colour) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor p(image.pixel(x, y));
                count += std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                                     std::abs(p.blue() - colour.blue()) <
                                 60
                             ? 1
                             : 0;
            }
        }
        return count;
    }
    static int Grey(const QColor& c) { return qGray(c.rgb()); }

    std::unique_ptr<ScheduleGrid> grid = std::make_unique<ScheduleGrid>();
};

TEST_P(SeriesMarkPaintTest, TheSignShowsInTheTextColourAndLeavesTheTextItsRoom) {
    const PaintCase& c = GetParam();
    grid->SetResolution(c.resolution);
    grid->AddRow("Room");
    const int bar = grid->AddBar(1, c.startMinute, c.endMinute, kMonday + 1, kMonday + 1);
    grid->SetBarColor(1, bar, c.fill);
    grid->SetBarTextColor(1, bar, c.ink);
    // Unmarked, a short text leaves the sign's place bare.
    grid->SetBarText(1, bar, c.series ? "Bartholomew Montgomery-Smythe and Partners" : "Ann");
    grid->SetBarSeries(1, bar, c.series);
    if (c.selected) {
        grid->SetSelectedBar(1, bar);
    }
    grid->ScrollToTime(kMonday + 1, c.startMinute);
    const QRect box = grid->BarRect(1, bar);
    ASSERT_FALSE(box.isEmpty());
    // The selected bar's ring does not make the sign smaller.
    const QRect inner = box.adjusted(1, 1, -1, -1);
    const QRect area = SeriesMark::Area(box);
    ASSERT_FALSE(area.isEmpty());
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32);
    grid->viewport()->render(&image);
    const QColor ink = ColorRefToQColor(c.ink);
    const QColor fill = ColorRefToQColor(c.fill);
    // The selected bar's ring, white on navy, is no part of the sign or the text.
    const QRect rows = c.selected ? inner.adjusted(0, 2, 0, -2) : inner;
    const int signInk = Near(image, area & rows, ink);
    const bool arrow = SeriesMark::ShapeFor(box) == Shape::Arrow;
    if (!c.series) {
        EXPECT_EQ(signInk, 0) << "a sign on a bar of no series";
        return;
    }
    EXPECT_GE(signInk, arrow ? 12 : 3) << "the sign is not drawn in the text colour";
    // Black and white printers and greyscale screens: the sign stands out from the fill.
    EXPECT_GE(std::abs(Grey(ink) - Grey(fill)), 100);
    if (arrow && area.left() - inner.left() > 40) {
        // The text stops short of the sign and still shows left of it.
        const QRect gap(area.left() - 3, rows.top(), 3, rows.height());
        EXPECT_EQ(Near(image, gap, ink), 0) << "the text runs into the sign";
        const QRect text(inner.left() + 4, rows.top(), area.left() - inner.left() - 10,
                         rows.height());
        EXPECT_GT(Near(image, text, ink), 20) << "the text is hidden";
    }
}

constexpr uint32_t kNavy = 0x00800000, kYellow = 0x0000FFFF, kWhite = 0x00FFFFFF, kBlack = 0;

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesMarkPaintTest,
    ::testing::Values(
        PaintCase{"DarkBarWhiteText", 60, 9 * 60, 12 * 60, true, false, kNavy, kWhite},
        PaintCase{"LightBarBlackText", 60, 9 * 60, 12 * 60, true, false, kYellow, kBlack},
        PaintCase{"SelectedBar", 60, 9 * 60, 12 * 60, true, true, kNavy, kWhite},
        PaintCase{"NotInASeries", 60, 9 * 60, 12 * 60, false, false, kNavy, kWhite},
        PaintCase{"SmallZoomShortBar", 2, 9 * 60, 15 * 60, true, false, kYellow, kBlack},
        PaintCase{"SmallestZoomWholeDay", 1, 0, 1440, true, false, kNavy, kWhite},
        PaintCase{"SmallestZoomShortBar", 1, 9 * 60, 12 * 60, true, false, kNavy, kWhite}),
    kCaseName);

struct TipCase {
    const char* name;
    bool series;
    bool noteGiven;
    QString note;
    QString lastLine;
};

class SeriesNoteTest : public ::testing::TestWithParam<TipCase> {};

// The note is asked for with the bar's data when the tooltip is, and only for a marked bar.
TEST_P(SeriesNoteTest, TheTooltipEndsWithTheNoteOfAMarkedBar) {
    const TipCase& c = GetParam();
    ScheduleGrid grid;
    grid.AddRow("Room");
    const int bar = grid.AddBar(1, 600, 660, kMonday, kMonday);
    grid.SetBarText(1, bar, "Ann");
    grid.SetBarData(1, bar, 4711);
    grid.SetBarSeries(1, bar, c.series);
    QList<int32_t> asked;
    if (c.noteGiven) {
        grid.SetSeriesNote([&](int32_t data) {
            asked << data;
            return c.note;
        });
    }
    EXPECT_TRUE(asked.isEmpty()) << "worked out before the tooltip was asked for";
    const QStringList lines = grid.BarToolTip(1, bar).split('\n');
    EXPECT_EQ(lines.size(), c.lastLine.isEmpty() ? 2 : 3);
    EXPECT_EQ(lines.first(), "Ann");
    EXPECT_EQ(lines.size() == 3 ? lines.last() : QString(), c.lastLine);
    EXPECT_EQ(asked, (c.series && c.noteGiven ? QList<int32_t>{4711} : QList<int32_t>{}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeriesNoteTest,
    ::testing::Values(TipCase{"MarkedBar", true, true, "Series: 3 of 10", "Series: 3 of 10"},
                      TipCase{"UnmarkedBar", false, true, "Series: 3 of 10", ""},
                      TipCase{"NoNoteGiven", true, false, "", ""},
                      TipCase{"NoteEmpty", true, true, "", ""}),
    kCaseName);

} // namespace
