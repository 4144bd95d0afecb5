// The program's report canvas: paper sizes, the report font, measuring, playing pages, and
// PDF files read back with poppler's tools.
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "report/PaperSize.h"
#include "report/ReportDocument.h"
#include "report/ReportFont.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "support/StoreFixture.h"

namespace {

// A poppler tool's output; fails the test when the tool is missing.
QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed (install poppler-utils)";
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// "Pages: 3" and "Page size: 612 x 792 pts", the size in twips.
QString PdfPagesAndSize(const QString& path) {
    const QString info = Poppler("pdfinfo", {path});
    const auto pages = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
    return QStringLiteral("%1 pages %2x%3")
        .arg(pages.captured(1))
        .arg(size.captured(1).toDouble() * 20)
        .arg(size.captured(2).toDouble() * 20);
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
        EXPECT_EQ(std::tuple(document.PageWidth(), document.PageHeight()),
                  std::tuple(width, height));
        document.StartDoc();
        document.DrawLine(0, 0, 100, 100);
        document.EndDoc();
        const QString pdf = QString::fromStdString(dir.file("paper.pdf"));
        ASSERT_FALSE(document.WritePdf(pdf, 1, 1).has_value());
        const auto size =
            QRegularExpression(R"(1 pages ([\d.]+)x([\d.]+))").match(PdfPagesAndSize(pdf));
        EXPECT_NEAR(size.captured(1).toDouble(), width, 10);
        EXPECT_NEAR(size.captured(2).toDouble(), height, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PaperSizes, ::testing::ValuesIn(kPapers),
                         [](const auto& row) { return "Code" + std::to_string(row.param.code); });

TEST(ReportDocumentTest, TextsAreBoldDejaVuSansMeasuredInTwipsAtAnySize) {
    ASSERT_TRUE(ReportFont::Available());
    const QRawFont raw = QRawFont::fromFont(ReportFont::Font(12, true));
    EXPECT_EQ(raw.familyName() + " " + raw.styleName(), "DejaVu Sans Bold");
    ReportDocument document;
    document.SetFontBold(true);
    document.SetFontSize(6);
    document.SetMeasureText("Ray Tolliver");
    const int32_t small = document.TextWidth();
    document.SetFontSize(12);
    document.SetMeasureText("Ray Tolliver");
    // Unhinted: twice the size, twice the width; about 0.54 em a character, 1.16 em high.
    EXPECT_NEAR(document.TextWidth(), 2 * small, 2);
    EXPECT_NEAR(document.TextWidth(), 12 * 240 * 54 / 100, 12 * 240 * 4 / 100);
    EXPECT_NEAR(document.TextHeight(), 240 * 1.164, 3);
}

// Unknown paper and orientation are ignored; pages keep their operations and headers;
// blank means nothing drawn.
TEST(ReportDocumentTest, PagesKeepTheirOperationsAndHeadersAndBlankMeansNothingDrawn) {
    ReportDocument document;
    document.SetPaperSize(9);
    document.SetPaperSize(14);
    document.SetPaperSize(0);
    document.SetOrientation(2);
    EXPECT_EQ(std::tuple(document.PaperSize(), document.Orientation(), document.PageCount()),
              std::tuple(9, 0, 0));
    document.StartDoc();
    EXPECT_TRUE(document.Blank());
    document.SetHeader("a|b|c");
    document.DrawRect(0, 0, 10, 10);
    document.NewPage();
    EXPECT_EQ(document.CurrentPage(), 2);
    document.TextOut(0, 0, "x");
    document.TextOut(0, 0, ""); // measured, but nothing to keep
    document.EndDoc();
    EXPECT_FALSE(document.Blank());
    EXPECT_EQ(document.PageAt(1)->header.text, "a|b|c");
    EXPECT_EQ(std::tuple(document.PageAt(1)->ops.size(), document.PageAt(2)->ops.size()),
              std::tuple(1u, 1u));
    EXPECT_EQ(document.PageAt(3), nullptr);
    document.SetCurrentPage(9);
    EXPECT_EQ(document.CurrentPage(), 2);
    document.SetCurrentPage(0);
    EXPECT_EQ(document.CurrentPage(), 1);
    document.StartDoc();
    EXPECT_TRUE(document.PageCount() == 1 && document.Blank());
}

// Pen 0 draws no line: a rectangle is only filled, a line not drawn at all.
TEST(ReportDocumentTest, PenZeroDrawsNoLine) {
    for (int16_t pen : std::initializer_list<int16_t>{0, 1, 5}) {
        SCOPED_TRACE(pen);
        ReportDocument document;
        document.StartDoc();
        document.SetPenWidth(pen);
        document.SetBrushStyle(1);
        document.SetBrushColor(0x000000FF);
        document.DrawRect(1000, 1000, 2000, 2000);
        document.DrawLine(4000, 1000, 4000, 3000);
        const double scale = 0.05;
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(scale, scale);
            document.PlayPage(1, painter, scale);
        }
        int red = 0, dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c == QColor(255, 0, 0) ? 1 : 0;
                dark += c.lightness() < 60 ? 1 : 0;
            }
        }
        EXPECT_GT(red, 60 * 60);
        EXPECT_EQ(dark > 0, pen > 0) << dark;
    }
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
            int32_t id = 0, a = 0;
            id = store->ResourceSave(id, QStringLiteral("Room %1").arg(i).toStdString());
            schedule.rows.push_back({QStringLiteral("Room %1").arg(i), id});
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

// Written as a PDF and printed, every page with its texts as text.
TEST_F(ReportPdfTest, APdfAndAPrinterGetEveryPageWithItsTextAsText) {
    ASSERT_EQ(document.PageCount(), 3);
    const QString pdf = QString::fromStdString(dir.file("report.pdf"));
    const QString printed = QString::fromStdString(dir.file("printed.pdf"));
    ASSERT_FALSE(document.WritePdf(pdf, 1, 3, "Rooms week").has_value());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    ASSERT_FALSE(document.PrintDoc(printer, 1, 3).has_value());
    EXPECT_EQ(PdfPagesAndSize(pdf), "3 pages 11900x16840");
    EXPECT_EQ(PdfPagesAndSize(printed), "3 pages 11900x16840");
    EXPECT_TRUE(Poppler("pdffonts", {pdf}).contains("DejaVuSans-Bold"));
    for (int page = 1; page <= 3; ++page) {
        const QString text = Poppler(
            "pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
        for (const QString& part :
             {QStringLiteral("Page %1").arg(page), QStringLiteral("07/12/2026 to 13/12/2026"),
              QStringLiteral("Tidemar Resource Planner"), QStringLiteral("Orvane Ltd"),
              QStringLiteral("Ray Tolliver")}) {
            EXPECT_TRUE(text.contains(part)) << page << " " << part.toStdString();
        }
    }
    const QString all = Poppler("pdftotext", {pdf, "-"});
    for (int i = 1; i <= 70; ++i) {
        EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("Room %1\\b").arg(i))), 1) << i;
    }
}

// Centred texts are centred where they are drawn, not only where the report asks: the title
// on the printable width (A4: the paper's middle, 5953), the first day's label "07" in its
// column (720 + 2400 + 1152 / 2).
TEST_F(ReportPdfTest, CentredTextsLieCentredOnThePaper) {
    const QString pdf = QString::fromStdString(dir.file("centred.pdf"));
    ASSERT_FALSE(document.WritePdf(pdf, 1, 1).has_value());
    const QString words = Poppler("pdftotext", {"-bbox", pdf, "-"});
    // A word's left and right edges in twips from the paper's left edge.
    const auto edges = [&](const QString& word) {
        const auto m = QRegularExpression(
                           R"re(xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">)re" +
                           QRegularExpression::escape(word) + "</word>")
                           .match(words);
        EXPECT_TRUE(m.hasMatch()) << word.toStdString();
        return std::pair(m.captured(1).toDouble() * 20, m.captured(2).toDouble() * 20);
    };
    EXPECT_NEAR((edges("07/12/2026").first + edges("13/12/2026").second) / 2, 5953, 15);
    EXPECT_NEAR((edges("07").first + edges("07").second) / 2, 720 + 2400 + 576, 15);
}

TEST_F(ReportPdfTest, AFailedWriteSaysWhyAndLeavesAnEarlierFileAsItWas) {
    EXPECT_TRUE(document.WritePdf(QString::fromStdString(dir.file("no/such/folder/x.pdf")), 1, 3)
                    .has_value());
    EXPECT_TRUE(document.WritePdf(QString::fromStdString(dir.path()), 1, 3).has_value());
    QFile kept(QString::fromStdString(dir.file("kept.pdf")));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("earlier");
    kept.close();
    auto failed = document.WritePdf(kept.fileName(), 2, 7);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->number, 5);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "earlier");
}

// Page 1 played at a tenth of a point a pixel shows red bars and dark texts and lines; the
// preview fits the page at zoom 0 and shows it at real size at 10.
TEST_F(ReportPdfTest, APlayedPageShowsTheBarsAndTheTextsAndThePreviewFitsIt) {
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

    ReportView view;
    view.resize(600, 500);
    view.SetDocument(&document);
    view.SetZoom(0);
    EXPECT_LE(view.PaperRect().height(), view.viewport()->height());
    EXPECT_GE(view.PaperRect().height(), view.viewport()->height() - 40);
    view.SetZoom(10);
    EXPECT_NEAR(view.Scale(), view.logicalDpiX() / 1440.0, 0.001);
    view.SetZoom(99);
    EXPECT_EQ(view.Zoom(), ReportView::ZoomMaximum);
    view.SetZoom(-3);
    EXPECT_EQ(view.Zoom(), 0);
}

} // namespace
