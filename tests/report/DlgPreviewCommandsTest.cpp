// Every menu entry and toolbar button of the print preview: caption, shortcut, check mark and
// what it causes, by the menu and by the button, while the preview is shown.
#include <QCalendarWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>

#include "report/PreviewFixture.h"
#include "support/CommandHarness.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"

namespace {

using Command = DlgPreview::Command;

const int32_t kToday = Day(2021, 6, 2);
const int32_t kFrom = Day(2021, 3, 3); // a Wednesday the day view is moved to first

// 60 more resources make the day report three pages of Letter; each command starts on page 2
// of the day report of kFrom, with other view and orientation settings stored than shown, so
// that the commands must write theirs.
class DlgPreviewCommandsTest : public PreviewFixture {
public:
    void SetUp() override {
        PreviewFixture::SetUp();
        AddResources(60);
    }
    void Prepare(DlgPreview& p) {
        State(p).startDay = kFrom;
        p.Report().ShowReport();
        ASSERT_EQ(p.Canvas().PageCount(), 3);
        p.Canvas().SetCurrentPage(2);
        store().SetPreviewViewType(2);
        store().SetPrintOrientation(1);
    }
};

using Row = CommandHarness::Row<DlgPreviewCommandsTest, DlgPreview>;

bool StartIs(DlgPreview& p, int32_t day) {
    return State(p).startDay == day && State(p).endDay == day;
}

bool ViewIs(DlgPreviewCommandsTest& t, DlgPreview& p, int16_t view, int32_t start) {
    return p.Action(Command::ViewDay)->isChecked() == (view == 0) &&
           p.Action(Command::ViewWeek)->isChecked() == (view == 1) &&
           p.Action(Command::ViewMonth)->isChecked() == (view == 2) && State(p).viewType == view &&
           t.store().PreviewViewType() == view && State(p).startDay == start;
}

// A zoom in percent, not the whole page, on the slider, the view and in the settings.
bool ZoomIs(DlgPreviewCommandsTest& t, DlgPreview& p) {
    const int zoom = p.CanvasView()->Zoom();
    return zoom >= 1 && p.ZoomSlide()->value() == zoom && t.store().PreviewZoom() == zoom;
}

bool PageIs(DlgPreview& p, int page) {
    return p.Canvas().CurrentPage() == page &&
           p.LblPage()->text() == QStringLiteral("%1/3").arg(page);
}

const Row kCommands[] = {
    {"Print", Command::FilePrint, "File", "Print", "Ctrl+P", false, "Print", "Print",
     [](auto& t, auto&) {
         return t.ui.log == QStringList{"SaveFileName"} &&
                t.ui.fileQuestions[0].caption.contains("No printer");
     }},
    {"SavePdf", Command::FileSavePdf, "File", "Save as PDF...", "Ctrl+Shift+S", false, nullptr,
     nullptr,
     [](auto& t, auto&) {
         return t.ui.log == QStringList{"SaveFileName"} &&
                t.ui.fileQuestions[0].caption == "Save the report as PDF" &&
                t.ui.fileQuestions[0].suggested.endsWith("Schedule 2021-03-03.pdf");
     }},
    {"Exit", Command::FileExit, "File", "Exit", "Esc", false, "Exit", "Exit",
     [](auto&, auto& p) { return !p.isVisible() && !p.Activated(); }},
    {"Day", Command::ViewDay, "View", "Day", "", true, nullptr, nullptr,
     [](auto& t, auto& p) { return ViewIs(t, p, 0, kFrom); }},
    {"Week", Command::ViewWeek, "View", "Week", "", true, nullptr, nullptr,
     [](auto& t, auto& p) { return ViewIs(t, p, 1, Day(2021, 3, 1)); }},
    {"Month", Command::ViewMonth, "View", "Month", "", true, nullptr, nullptr,
     [](auto& t, auto& p) { return ViewIs(t, p, 2, Day(2021, 3, 1)); }},
    {"ZoomIn", Command::ViewZoomIn, "View", "Zoom in", "Ctrl++", false, nullptr, nullptr,
     [](auto& t, auto& p) { return ZoomIs(t, p); }},
    {"ZoomOut", Command::ViewZoomOut, "View", "Zoom out", "Ctrl+-", false, nullptr, nullptr,
     [](auto& t, auto& p) { return ZoomIs(t, p); }},
    {"Calendar", Command::DateCalendar, "Date", "Calendar", "", false, "Calendar", "Calendar",
     [](auto&, auto& p) {
         return p.MonthView()->isVisible() && p.MonthView()->selectedDate() == QDate(2021, 3, 3);
     }},
    {"Today", Command::DateToday, "Date", "Today", "Ctrl+T", false, "Today", "Today",
     [](auto&, auto& p) { return StartIs(p, kToday); }},
    {"PrevWeek", Command::DatePrevWeek, "Date", "Previous week", "Ctrl+Shift+Left", false,
     "PrevWeek", "Previous week", [](auto&, auto& p) { return StartIs(p, kFrom - 7); }},
    {"PrevDay", Command::DatePrevDay, "Date", "Previous day", "Ctrl+Left", false, "PrevDay",
     "Previous day", [](auto&, auto& p) { return StartIs(p, kFrom - 1); }},
    {"NextDay", Command::DateNextDay, "Date", "Next day", "Ctrl+Right", false, "NextDay",
     "Next day", [](auto&, auto& p) { return StartIs(p, kFrom + 1); }},
    {"NextWeek", Command::DateNextWeek, "Date", "Next week", "Ctrl+Shift+Right", false, "NextWeek",
     "Next week", [](auto&, auto& p) { return StartIs(p, kFrom + 7); }},
    {"FirstPage", Command::PageFirstPage, "Page", "First page", "Ctrl+Home", false, nullptr,
     nullptr, [](auto&, auto& p) { return PageIs(p, 1); }},
    {"LastPage", Command::PageLastPage, "Page", "Last page", "Ctrl+End", false, nullptr, nullptr,
     [](auto&, auto& p) { return PageIs(p, 3); }},
    {"PrevPage", Command::PagePrev, "Page", "Previous page", "PgUp", false, "PrevPage",
     "Previous page", [](auto&, auto& p) { return PageIs(p, 1); }},
    {"NextPage", Command::PageNext, "Page", "Next page", "PgDown", false, "NextPage", "Next page",
     [](auto&, auto& p) { return PageIs(p, 3); }},
    {"ColorPrinting", Command::OptColorPrint, "Options", "Color printing", "", true, nullptr,
     nullptr,
     [](auto& t, auto& p) {
         return !State(p).colorPrint && !t.store().Option(5) &&
                !p.Action(Command::OptColorPrint)->isChecked();
     }},
    {"Portrait", Command::OptPortrait, "Options", "Portrait", "", true, nullptr, nullptr,
     [](auto& t, auto& p) {
         return p.Canvas().Orientation() == 0 && t.store().PrintOrientation() == 0 &&
                p.Action(Command::OptPortrait)->isChecked() &&
                !p.Action(Command::OptLandscape)->isChecked();
     }},
    {"Landscape", Command::OptLandscape, "Options", "Landscape", "", true, nullptr, nullptr,
     [](auto& t, auto& p) {
         return p.Canvas().Orientation() == 1 && t.store().PrintOrientation() == 1 &&
                p.Canvas().PageWidth() == 15840 && p.Action(Command::OptLandscape)->isChecked() &&
                !p.Action(Command::OptPortrait)->isChecked();
     }},
    {"Help", Command::Help, "Help", "Help", "F1", false, "Help", "Help",
     [](auto& t, auto&) { return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 8; }},
};

class Commands : public DlgPreviewCommandsTest,
                 public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

TEST_P(Commands, CaptionShortcutCheckAndEffect) {
    Open([&](DlgPreview& p) {
        Prepare(p);
        ui.log.clear();
        CommandHarness::Check(*this, p, *GetParam().row, GetParam().by);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

// Each paper sets the canvas, is stored and carries the only check.
TEST_F(DlgPreviewCommandsTest, PageSizes) {
    Open([&](DlgPreview& p) {
        for (int item = 0; item < PaperSize::Count; ++item) {
            SCOPED_TRACE(item);
            p.PageSizeAction(item)->trigger();
            EXPECT_EQ(store().PrintPageSize(), item);
            EXPECT_EQ(p.Canvas().PaperSize(), item + 1);
            EXPECT_EQ(p.Canvas().PageWidth(),
                      PaperSize::WidthTwips(static_cast<int16_t>(item + 1), false));
            for (int i = 0; i < PaperSize::Count; ++i) {
                EXPECT_EQ(p.PageSizeAction(i)->isChecked(), i == item) << i;
            }
            // A digit key is an A size's own: Alt+O, Enter, 5 is A5, never B5.
            const QString caption = p.PageSizeAction(item)->text();
            EXPECT_EQ(caption.at(caption.indexOf('&') + 1).isDigit(), caption.startsWith("A&"))
                << caption.toStdString();
            EXPECT_EQ(Label(p), QStringLiteral("1/%1").arg(p.Canvas().PageCount()));
        }
    });
}

TEST_F(DlgPreviewCommandsTest, MenusAndToolBarInOrder) {
    Open([&](DlgPreview& p) {
        CommandHarness::ExpectMenusAndToolBar(
            p,
            {"File: Print, Save as PDF..., -, Exit", "View: Day, Week, Month, -, Zoom in, Zoom out",
             "Date: Calendar, Today, -, Previous week, Previous day, Next day, Next week",
             "Page: First page, Last page, -, Previous page, Next page",
             "Options: Page size, -, Color printing, -, Portrait, Landscape", "Help: Help"},
            "Exit Print | PrevWeek PrevDay Calendar Today NextDay NextWeek | PrevPage NextPage | "
            "Help");
        ASSERT_FALSE(p.PageSizeAction(0)->associatedObjects().isEmpty());
        auto* sizes = qobject_cast<QMenu*>(p.PageSizeAction(0)->associatedObjects()[0]);
        ASSERT_NE(sizes, nullptr);
        QStringList entries;
        for (QAction* a : sizes->actions()) {
            entries << a->text().remove('&');
        }
        EXPECT_EQ(entries.join(", "),
                  "Letter (8.5x11 in), Legal (8.5x14 in), Executive (7.5x10.5 in), Tabloid (11x17 "
                  "in), Ledger (17x11 in), Statement (5.5x8.5 in), Folio (8.5x13 in), A3 (297x420 "
                  "mm), A4 (210x297 mm), A5 (148x210 mm), B4 (250x354 mm), B5 (182x257 mm), "
                  "Quarto (215x275 mm)");
    });
}

} // namespace
