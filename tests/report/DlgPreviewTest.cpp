// The print preview: its first report, date steps, pages at both ends, the settings it keeps,
// its size and place, the calendars, the way out, and saving as PDF.
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include "dialogs/DlgAppointment.h"
#include "widgets/MaskedDateField.h"

#include "report/PreviewFixture.h"
#include "support/LogFile.h"
#include "support/MainWindowFixture.h"

namespace {

using Command = DlgPreview::Command;

class DlgPreviewTest : public PreviewFixture {};

TEST_F(DlgPreviewTest, TheFirstReportShowsTheSchedulesFirstDayInTheStoredSettings) {
    store().SetPreviewViewType(1);
    store().SetPrintPageSize(8);
    store().SetPrintOrientation(1);
    store().SetPreviewZoom(15);
    Open([&](DlgPreview& p) {
        EXPECT_TRUE(p.Activated());
        EXPECT_EQ(p.windowTitle(), "Print Preview");
        EXPECT_EQ(State(p).startDay, Day(2021, 5, 31));
        EXPECT_EQ(State(p).endDay, Day(2021, 6, 6));
        EXPECT_TRUE(p.Action(Command::ViewWeek)->isChecked());
        EXPECT_TRUE(p.PageSizeAction(8)->isChecked());
        EXPECT_TRUE(p.Action(Command::OptLandscape)->isChecked());
        EXPECT_EQ(p.CanvasView()->Zoom(), 15);
        EXPECT_EQ(Label(p), "1/1");
        EXPECT_EQ(p.StatusPanel(), "Ready!");
        const int listWidth = grid().ListWidth();
        EXPECT_EQ(State(p).nameWidth, std::min(listWidth * 20, 4000));
        EXPECT_EQ(p.Report().Schedule().rows.size(), 3u);
    });
}

TEST_F(DlgPreviewTest, SettingsTheMenusDoNotOfferStartFromTheFirstItem) {
    store().SetPreviewViewType(7);
    store().SetPrintPageSize(-2);
    store().SetPrintOrientation(3);
    store().SetPreviewZoom(500);
    Open([&](DlgPreview& p) {
        EXPECT_EQ(State(p).viewType, 0);
        EXPECT_EQ(p.Canvas().PaperSize(), 1);
        EXPECT_EQ(p.Canvas().Orientation(), 0);
        EXPECT_EQ(p.ZoomSlide()->value(), 40);
    });
    EXPECT_EQ(store().PreviewViewType(), 0);
    EXPECT_EQ(store().PrintPageSize(), 0);
    EXPECT_EQ(store().PrintOrientation(), 0);
    EXPECT_EQ(store().PreviewZoom(), 40);
}

struct StepCase {
    const char* name;
    int16_t view;
    int32_t from;
    Command command;
    int32_t to;
};
const StepCase kSteps[] = {
    {"DayPrevWeek", 0, Day(2021, 3, 3), Command::DatePrevWeek, Day(2021, 2, 24)},
    {"DayPrevDay", 0, Day(2021, 3, 1), Command::DatePrevDay, Day(2021, 2, 28)},
    {"DayNextDay", 0, Day(2021, 2, 28), Command::DateNextDay, Day(2021, 3, 1)},
    {"DayNextWeek", 0, Day(2021, 12, 29), Command::DateNextWeek, Day(2022, 1, 5)},
    {"WeekPrevWeek", 1, Day(2021, 3, 1), Command::DatePrevWeek, Day(2021, 2, 1)},
    {"WeekPrevDayFromAMonday", 1, Day(2021, 3, 1), Command::DatePrevDay, Day(2021, 2, 22)},
    {"WeekNextDay", 1, Day(2021, 3, 4), Command::DateNextDay, Day(2021, 3, 8)},
    {"WeekNextWeek", 1, Day(2021, 3, 1), Command::DateNextWeek, Day(2021, 3, 29)},
    {"MonthPrevWeekIsAYear", 2, Day(2021, 3, 1), Command::DatePrevWeek, Day(2020, 3, 1)},
    {"MonthPrevDayIsAMonth", 2, Day(2021, 3, 1), Command::DatePrevDay, Day(2021, 2, 1)},
    {"MonthNextDayIsAMonth", 2, Day(2021, 1, 31), Command::DateNextDay, Day(2021, 2, 1)},
    {"MonthNextWeekFromMarch", 2, Day(2021, 3, 1), Command::DateNextWeek, Day(2022, 3, 1)},
    {"MonthNextWeekFromDecember", 2, Day(2021, 12, 1), Command::DateNextWeek, Day(2022, 12, 1)},
};

class DateSteps : public DlgPreviewTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(DateSteps, MoveTheStartAndTheViewBringsItToItsMondayOrFirst) {
    const StepCase& c = GetParam();
    Open([&](DlgPreview& p) {
        p.mnuViewType_Click(c.view);
        State(p).startDay = c.from;
        p.Report().ShowReport();
        p.Action(c.command)->trigger();
        EXPECT_EQ(State(p).startDay, c.to);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, DateSteps, ::testing::ValuesIn(kSteps),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgPreviewTest, PageCommandsStopAtBothEnds) {
    AddResources(60);
    Open([&](DlgPreview& p) {
        ASSERT_EQ(p.Canvas().PageCount(), 3);
        EXPECT_EQ(Label(p), "1/3");
        QStringList labels;
        for (auto click : {&DlgPreview::mnuPagePrev_Click, &DlgPreview::mnuPageFirstPage_Click,
                           &DlgPreview::mnuPageNext_Click, &DlgPreview::mnuPageLastPage_Click,
                           &DlgPreview::mnuPageNext_Click, &DlgPreview::mnuDateNextDay_Click}) {
            (p.*click)();
            labels << Label(p) + "@" + QString::number(p.Canvas().CurrentPage());
        }
        // A rebuild starts again at the first page.
        EXPECT_EQ(labels, (QStringList{"1/3@1", "1/3@1", "2/3@2", "3/3@3", "3/3@3", "1/3@1"}));
    });
}

TEST_F(DlgPreviewTest, ChoicesAreStoredAndTheNextOpeningStartsFromThem) {
    Open([&](DlgPreview& p) {
        p.Action(Command::ViewMonth)->trigger();
        p.PageSizeAction(10)->trigger();
        p.Action(Command::OptLandscape)->trigger();
        p.ZoomSlide()->setValue(25);
        p.Action(Command::FileExit)->trigger();
        EXPECT_FALSE(p.isVisible());
    });
    EXPECT_EQ(store().PreviewViewType(), 2);
    EXPECT_EQ(store().PrintPageSize(), 10);
    EXPECT_EQ(store().PrintOrientation(), 1);
    EXPECT_EQ(store().PreviewZoom(), 25);
    Open([&](DlgPreview& p) {
        EXPECT_EQ(State(p).startDay, Day(2021, 6, 1));
        EXPECT_EQ(State(p).endDay, Day(2021, 6, 30));
        EXPECT_EQ(p.Canvas().PaperSize(), 11);
        EXPECT_EQ(p.Canvas().Orientation(), 1);
        EXPECT_EQ(p.CanvasView()->Zoom(), 25);
    });
}

TEST_F(DlgPreviewTest, ColourPrintingIsTheSameAtEveryOpeningUntilItIsToggled) {
    const auto colour = [](DlgPreview& p) {
        EXPECT_EQ(p.Action(Command::OptColorPrint)->isChecked(), State(p).colorPrint);
        return State(p).colorPrint;
    };
    std::vector<bool> seen;
    Open([&](DlgPreview& p) { seen.push_back(colour(p)); });
    Open([&](DlgPreview& p) {
        seen.push_back(colour(p));
        p.mnuOptColorPrint_Click();
        p.mnuFileExit_Click();
    });
    Open([&](DlgPreview& p) { seen.push_back(colour(p)); });
    EXPECT_EQ(seen, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(store().Option(5));
}

// The first opening covers three quarters of the screen; the close box leaves as Exit does,
// and the next opening is where the preview was left.
TEST_F(DlgPreviewTest, ItOpensLargeClosesByItsCloseBoxAndComesBackWhereItWasLeft) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect left(screen.topLeft() + QPoint(30, 40), QSize(500, 400));
    Open([&](DlgPreview& p) {
        EXPECT_EQ(p.size(), QSize(screen.width() * 3 / 4, screen.height() * 3 / 4));
        EXPECT_TRUE(screen.contains(p.geometry()));
        p.setGeometry(left);
        p.close();
        EXPECT_FALSE(p.isVisible());
        EXPECT_FALSE(p.Activated());
    });
    Open([&](DlgPreview& p) { EXPECT_EQ(p.geometry(), left); });
    EXPECT_EQ(place.normal, left) << "kept for the next run";
}

// The main window with the preview it opens by Print.
class PreviewOnMainWindow : public MainWindowFixture {
public:
    void Open(const std::function<void(DlgPreview&)>& inside) {
        ui.modalActions.push_back([&](QDialog* dialog) {
            inside(*qobject_cast<DlgPreview*>(dialog));
            return 0;
        });
        window->Action(DlgMain::Command::FilePrint)->trigger();
    }
};

// Each calendar goes away on Escape and on a click outside it, choosing nothing; the window
// under it stays open.
TEST_F(PreviewOnMainWindow, CalendarsCloseOnEscapeOrAClickOutsideWithoutChoosing) {
    window->show();
    window->Form_Activate();
    const auto dismissed = [](QCalendarWidget* calendar, bool byKey) {
        if (!calendar->isVisible()) {
            return false;
        }
        calendar->setSelectedDate(calendar->selectedDate().addDays(3)); // moved, not chosen
        if (byKey) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : calendar, Qt::Key_Escape);
        } else {
            QTest::mouseClick(calendar, Qt::LeftButton, {}, QPoint(-20, -20));
        }
        return !calendar->isVisible();
    };
    for (bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "Escape" : "a click outside");
        const int32_t first = window->Sched()->DateFirst();
        window->mnuSchedDate_Click();
        EXPECT_TRUE(dismissed(window->SelMonth(), byKey)) << "the main window's";
        EXPECT_EQ(window->Sched()->DateFirst(), first);
        Open([&](DlgPreview& p) {
            const int32_t start = State(p).startDay;
            p.mnuDateCalendar_Click();
            EXPECT_TRUE(dismissed(p.MonthView(), byKey)) << "the preview's";
            EXPECT_TRUE(p.isVisible());
            EXPECT_EQ(State(p).startDay, start);
        });
        DlgAppointment appointment(window->WindowServices(), window->View());
        appointment.show();
        const int32_t day = appointment.DateStart()->Value();
        appointment.DateStart_ClickDrop();
        EXPECT_TRUE(dismissed(appointment.SelMonth(), byKey)) << "the appointment dialog's";
        EXPECT_TRUE(appointment.isVisible());
        EXPECT_EQ(appointment.DateStart()->Value(), day);
    }
}

TEST_F(DlgPreviewTest, WithoutAPrinterPrintWritesThePdfTheUserNames) {
    AddResources(60);
    const QString pdf = QString::fromStdString(dir.file("week.pdf"));
    ui.fileNames = {pdf};
    Open([&](DlgPreview& p) {
        p.mnuFilePrint_Click();
        EXPECT_EQ(p.StatusPanel(), "Saved 3 pages as " + pdf + ".");
    });
    ASSERT_EQ(ui.fileQuestions.size(), 1);
    EXPECT_EQ(ui.fileQuestions[0].filter, "PDF files (*.pdf)");
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_TRUE(ui.messages.isEmpty());
}

// A PDF that cannot be written and a printer that refuses the job are told and logged.
TEST_F(DlgPreviewTest, FailuresToPrintOrSaveAreToldAndLogged) {
    const QString pdf = QString::fromStdString(dir.file("missing/folder/week.pdf"));
    ui.fileNames = {pdf, pdf};
    Open([&](DlgPreview& p) {
        p.mnuFilePrint_Click();
        p.mnuFileSavePdf_Click();
    });
    ASSERT_EQ(ui.messages.size(), 2);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.title, "Error!");
        EXPECT_TRUE(message.text.startsWith("The report could not be saved as " + pdf));
    }
    EXPECT_FALSE(QFile::exists(pdf));

    ui.messages.clear();
    printer = "No such printer";
    Open([&](DlgPreview& p) {
        p.mnuFilePrint_Click();
        EXPECT_FALSE(p.StatusPanel().startsWith("Sent"));
    });
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(
        ui.messages[0].text.startsWith("The report could not be printed on No such printer."))
        << ui.messages[0].text.toStdString();
    const std::string log = ReadLog();
    EXPECT_NE(log.find("mnuFileSavePdf_Click"), std::string::npos) << log;
    EXPECT_NE(log.find("mnuFilePrint_Click", log.find("mnuFileSavePdf_Click")), std::string::npos)
        << "the refused job is logged too: " << log;
}

TEST_F(DlgPreviewTest, WithNoRowsThereIsNothingToPrintOrSave) {
    for (const ClsResource& r :
         std::vector<ClsResource>(store().Resources().begin(), store().Resources().end())) {
        store().ResourceDelete(r.Id());
    }
    ShowResources();
    Open([&](DlgPreview& p) {
        EXPECT_EQ(Label(p), "1/1");
        p.mnuFilePrint_Click();
        p.mnuFileSavePdf_Click();
    });
    EXPECT_TRUE(ui.fileQuestions.isEmpty());
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[0].text, "There is nothing to print: the schedule has no rows.");
    EXPECT_EQ(ui.messages[1].text, "There is nothing to save: the schedule has no rows.");
}

} // namespace
