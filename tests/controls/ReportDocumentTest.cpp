// The program's report canvas: paper sizes, the report font, measuring, playing pages, and
// PDF files read back with poppler's tools.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

#include "controls/ColorRef.h"
#include "controls/PaperSize.h"
#include "controls/ReportDocument.h"
#include "controls/ReportFont.h"
#include "controls/ReportView.h"
#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "store/ClsGlobal.h"
#include "support/StoreFixture.h"

namespace {

// A poppler tool's output; fails the test when the tool is missing.
QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed (install poppler-utils): "
                      << process.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// "Page size: 612 x 792 pts" as twips.
QSizeF PdfPageTwips(const QString& path) {
    const QRegularExpressionMatch m = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)")
                                          .match(Poppler("pdfinfo", {path}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble() * 20, m.captured(2).toDouble() * 20)
                        : QSizeF();
}

int PdfPages(const QString& path) {
    const QRegularExpressionMatch m =
        QRegularExpression(R"(Pages:\s+(\d+))").match(Poppler("pdfinfo", {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct PaperCase {
    int16_t code;
    const char* caption;
    int32_t width, height; // portrait, twips
};
const PaperCase kPapers[] = {
    {1, "Letter (8.5x11 in)", 12240, 15840},      {2, "Legal (8.5x14 in)", 12240, 20160},
    {3, "Executive (7.5x10.5 in)", 10800, 15120}, {4, "Tabloid (11x17 in)", 15840, 24480},
    {5, "Ledger (17x11 in)", 24480, 15840},       {6, "Statement (5.5x8.5 in)", 7920, 12240},
    {7, "Folio (8.5x13 in)", 12240, 18720},       {8, "A3 (297x420 mm)", 16838, 23811},
    {9, "A4 (210x297 mm)", 11906, 16838},         {10, "A5 (148x210 mm)", 8391, 11906},
    {11, "B4 (250x354 mm)", 14173, 20069},        {12, "B5 (182x257 mm)", 10318, 14570},
    {13, "Quarto (215x275 mm)", 12189, 15591},
};

class PaperSizes : public StoreFixture, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(PaperSizes, AreTheCaptionsDimensionsInBothOrientationsOnCanvasAndInPdf) {
    const PaperCase& c = GetParam();
    EXPECT_STREQ(PaperSize::OfCode(c.code).caption, c.caption);
    ReportDocument document;
    document.SetPaperSize(c.code);
    for (int landscape : {0, 1}) {
        SCOPED_TRACE(landscape);
        document.SetOrientation(landscape);
        const int32_t width = landscape ? c.height : c.width;
        const int32_t height = landscape ? c.width : c.height;
        EXPECT_EQ(document.PageWidth(), width);
        EXPECT_EQ(document.PageHeight(), height);
        document.StartDoc();
        document.DrawLine(0, 0, 100, 100);
        document.EndDoc();
        const QString pdf = QString::fromStdString(dir.file("paper.pdf"));
        ASSERT_FALSE(document.WritePdf(pdf, 1, 1).has_value());
        const QSizeF page = PdfPageTwips(pdf);
        EXPECT_NEAR(page.width(), width, 10);
        EXPECT_NEAR(page.height(), height, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PaperSizes, ::testing::ValuesIn(kPapers),
                         [](const auto& row) { return "Code" + std::to_string(row.param.code); });

TEST(ReportDocumentTest, UnknownPaperAndOrientationAreIgnored) {
    ReportDocument document;
    document.SetPaperSize(9);
    document.SetPaperSize(14);
    document.SetPaperSize(0);
    document.SetOrientation(2);
    EXPECT_EQ(document.PaperSize(), 9);
    EXPECT_EQ(document.Orientation(), 0);
}

TEST(ReportDocumentTest, TextsAreBoldDejaVuSansMeasuredInTwipsAtAnySize) {
    ASSERT_TRUE(ReportFont::Available());
    const QRawFont raw = QRawFont::fromFont(ReportFont::Font(12, true));
    EXPECT_EQ(raw.familyName(), "DejaVu Sans");
    EXPECT_EQ(raw.styleName(), "Bold");

    ReportDocument document;
    document.SetFontBold(true);
    document.SetFontSize(6);
    document.SetMeasureText("Ray Tolliver");
    const int32_t small = document.TextWidth();
    document.SetFontSize(12);
    document.SetMeasureText("Ray Tolliver");
    // Unhinted: twice the size, twice the width (each measure is rounded up).
    EXPECT_NEAR(document.TextWidth(), 2 * small, 2);
    // Bold DejaVu Sans is about 0.54 em a character here, and 1.16 em high.
    EXPECT_GT(document.TextWidth(), 12 * 240 * 50 / 100);
    EXPECT_LT(document.TextWidth(), 12 * 240 * 58 / 100);
    EXPECT_NEAR(document.TextHeight(), 240 * 1.164, 3);
}

// With the real font's uneven widths, halving finds what cutting one character at a time
// finds.
TEST_F(StoreFixture, CuttingByHalvingMatchesCuttingOneCharacterAtATime) {
    ClsGlobal store{ProgramFolders{dir.path()}};
    ClsDate date;
    ReportDocument document;
    ClsGanttReport report(document, store, date);
    document.SetFontBold(true);
    for (int16_t size : {int16_t{6}, int16_t{12}}) {
        document.SetFontSize(size);
        for (const QString& text :
             {QStringLiteral("Ray Tolliver"), QStringLiteral("Wii iiW mmm .,;"),
              QStringLiteral("Meeting room #1 (west wing)   ")}) {
            for (int32_t width = 0; width <= 6000; width += 37) {
                QString linear = text;
                document.SetMeasureText(linear);
                while (!linear.isEmpty() && document.TextWidth() + 75 > width) {
                    linear.chop(1);
                    document.SetMeasureText(linear);
                }
                ASSERT_EQ(report.FitText(text, width), linear) << size << " " << width;
            }
        }
    }
}

TEST(ReportDocumentTest, PagesKeepTheirOperationsAndHeadersAndBlankMeansNothingDrawn) {
    ReportDocument document;
    EXPECT_EQ(document.PageCount(), 0);
    document.StartDoc();
    EXPECT_EQ(document.CurrentPage(), 1);
    EXPECT_TRUE(document.Blank());
    document.SetHeader("a|b|c");
    document.DrawRect(0, 0, 10, 10);
    document.NewPage();
    EXPECT_EQ(document.CurrentPage(), 2);
    document.TextOut(0, 0, "x");
    document.TextOut(0, 0, ""); // measured, but nothing to keep
    document.EndDoc();
    EXPECT_FALSE(document.Blank());
    EXPECT_EQ(document.PageCount(), 2);
    EXPECT_EQ(document.PageAt(1)->header.text, "a|b|c");
    EXPECT_EQ(document.PageAt(1)->ops.size(), 1u);
    EXPECT_EQ(document.PageAt(2)->ops.size(), 1u);
    EXPECT_EQ(document.PageAt(3), nullptr);
    document.SetCurrentPage(9);
    EXPECT_EQ(document.CurrentPage(), 2);
    document.SetCurrentPage(0);
    EXPECT_EQ(document.CurrentPage(), 1);
    document.StartDoc();
    EXPECT_EQ(document.PageCount(), 1);
    EXPECT_TRUE(document.Blank());
}

// A report of the store: 70 rows, three pages of A4 portrait (30 rows a page).
class ReportPdfTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        store = std::make_unique<ClsGlobal>(ProgramFolders{dir.path()});
        int32_t type = 0, customer = 0;
        type = store->TypeSave(type, "Meeting", 0x000000FF, 0x0000FFFF, 15, 480, 15);
        customer = store->CustomerSave(customer, "Ray Tolliver");
        ScheduleRows schedule;
        schedule.listTitle = "Rooms";
        schedule.backColor = 0x00FFFFFF;
        schedule.weekendColor = 0x00C0C0FF;
        schedule.weekendMask = 0x41;
        for (int i = 1; i <= 70; ++i) {
            int32_t id = 0;
            id = store->ResourceSave(id, QStringLiteral("Room %1").arg(i).toStdString());
            schedule.rows.push_back({QStringLiteral("Room %1").arg(i), id});
            int32_t a = 0;
            store->AppointmentSave(a, customer, id, type, date.JoinDateTime(monday, 540),
                                   date.JoinDateTime(monday + 1, 600), "");
        }
        document.SetPaperSize(9);
        report = std::make_unique<ClsGanttReport>(document, *store, date);
        report->SetSchedule(schedule);
        report->state.viewType = 1;
        report->state.startDay = monday;
        report->state.nameWidth = 2400;
        report->ShowReport();
    }

    const int32_t monday = ClsDate::DayNumberFromCivil(2026, 12, 7);
    ClsDate date;
    ReportDocument document;
    std::unique_ptr<ClsGlobal> store;
    std::unique_ptr<ClsGanttReport> report;
};

TEST_F(ReportPdfTest, APdfHasAPageForEveryPageWithItsTextAsText) {
    ASSERT_EQ(document.PageCount(), 3);
    const QString pdf = QString::fromStdString(dir.file("report.pdf"));
    ASSERT_FALSE(document.WritePdf(pdf, 1, 3, "Rooms week").has_value());
    EXPECT_EQ(PdfPages(pdf), 3);
    EXPECT_NEAR(PdfPageTwips(pdf).width(), 11906, 10);
    EXPECT_TRUE(Poppler("pdffonts", {pdf}).contains("DejaVuSans-Bold"));
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const QString text = Poppler(
            "pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(page)));
        EXPECT_TRUE(text.contains("07/12/2026 to 13/12/2026"));
        EXPECT_TRUE(text.contains("Tidemar Resource Planner"));
        EXPECT_TRUE(text.contains("Orvane Ltd"));
        EXPECT_TRUE(text.contains("Ray Tolliver"));
    }
    const QString all = Poppler("pdftotext", {pdf, "-"});
    for (int i = 1; i <= 70; ++i) {
        EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("Room %1\\b").arg(i))), 1) << i;
    }
}

TEST_F(ReportPdfTest, APrinterGetsTheSamePages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QString::fromStdString(dir.file("printed.pdf"));
    printer.setOutputFileName(pdf);
    const auto failed = document.PrintDoc(printer, 1, 3);
    ASSERT_FALSE(failed.has_value()) << failed->description;
    EXPECT_EQ(PdfPages(pdf), 3);
    EXPECT_NEAR(PdfPageTwips(pdf).height(), 16838, 10);
}

TEST_F(ReportPdfTest, AFailedWriteSaysWhyAndLeavesAnEarlierFileAsItWas) {
    EXPECT_TRUE(document.WritePdf(QString::fromStdString(dir.file("no/such/folder/x.pdf")), 1, 3)
                    .has_value());
    EXPECT_TRUE(document.WritePdf(QString::fromStdString(dir.path()), 1, 3).has_value());
    const QString kept = QString::fromStdString(dir.file("kept.pdf"));
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier");
    }
    auto failed = document.WritePdf(kept, 2, 7);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->number, 5);
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "earlier");
}

TEST_F(ReportPdfTest, APlayedPageShowsTheBarsAndTheTexts) {
    // Page 1 at a tenth of a point a pixel.
    const double scale = 0.1;
    QImage image(static_cast<int>(document.PageWidth() * scale),
                 static_cast<int>(document.PageHeight() * scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        document.PlayPage(1, painter, scale);
    }
    int red = 0, ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c == QColor(255, 0, 0) ? 1 : 0;
            ink += c.lightness() < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 1000) << "the bars";
    EXPECT_GT(ink, 3000) << "texts and lines";
    // The title's glyphs: dark pixels in the band where it is printed, centred.
    int title = 0;
    const int top = static_cast<int>((720 + 25) * scale);
    const int bottom = static_cast<int>((720 + 400) * scale);
    for (int y = top; y < bottom; ++y) {
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
            title += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(title, 200);
}

TEST_F(ReportPdfTest, ThePreviewFitsThePageAtZeroAndShowsRealSizeAtTen) {
    ReportView view;
    view.resize(600, 500);
    view.SetDocument(&document);
    view.SetZoom(0);
    const QRect fitted = view.PaperRect();
    EXPECT_LE(fitted.height(), view.viewport()->height());
    EXPECT_GE(fitted.height(), view.viewport()->height() - 40);
    view.SetZoom(10);
    EXPECT_NEAR(view.Scale(), view.logicalDpiX() / 1440.0, 0.001);
    view.SetZoom(99);
    EXPECT_EQ(view.Zoom(), ReportView::ZoomMaximum);
    view.SetZoom(-3);
    EXPECT_EQ(view.Zoom(), 0);
}

} // namespace
