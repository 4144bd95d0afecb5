#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "platform/HelpViewer.h"
#include "platform/QtWindowing.h"

namespace {

using Command = IWindowing::HelpRequest::Command;

const QString NotFoundTitle = QStringLiteral("Topic not found");

IWindowing::HelpRequest Request(Command command, int context = 0, const QString& text = {}) {
    return {.command = command, .file = {}, .context = context, .text = text};
}

// Each window's help command asks for its context number; this is the page it must get.
// Numbers without a topic show a page that names them.
struct Topic {
    int context;
    const char* page; // nullptr: no such topic
};
const Topic kTopics[] = {
    {0, "main.html"},     {1, "configure.html"}, {2, "resource.html"},     {3, "appointment.html"},
    {4, "customer.html"}, {5, "type.html"},      {6, "search.html"},       {7, "delete.html"},
    {8, "preview.html"},  {10, "navigate.html"}, {11, "series.html"},      {12, "export.html"},
    {13, "import.html"},  {20, "server.html"},   {64000, "glossary.html"}, {9, nullptr},
    {14, nullptr},        {-1, nullptr},         {63999, nullptr}};

class HelpTopicTest : public ::testing::TestWithParam<Topic> {};

TEST_P(HelpTopicTest, EveryContextOpensItsOwnPage) {
    HelpViewer viewer;
    viewer.ShowContext(GetParam().context);
    const QString text = viewer.Browser()->toPlainText();
    if (GetParam().page == nullptr) {
        EXPECT_EQ(viewer.CurrentTitle(), NotFoundTitle);
        EXPECT_TRUE(text.contains(QString::number(GetParam().context)));
        return;
    }
    EXPECT_EQ(viewer.CurrentSource(), QUrl(QStringLiteral("qrc:/help/") + GetParam().page));
    EXPECT_TRUE(!viewer.CurrentTitle().isEmpty() && viewer.CurrentTitle() != NotFoundTitle);
    EXPECT_GT(text.size(), 400) << "a topic with hardly any text";
}

INSTANTIATE_TEST_SUITE_P(Contexts, HelpTopicTest, ::testing::ValuesIn(kTopics),
                         [](const auto& row) {
                             return "Context" + std::to_string(row.index) + "_" +
                                    std::to_string(std::abs(row.param.context));
                         });

TEST(HelpViewerTest, EveryLinkInEveryTopicLeadsSomewhere) {
    const QDir folder(QStringLiteral(":/help"));
    const QStringList pages = folder.entryList({"*.html"}, QDir::Files);
    ASSERT_GE(pages.size(), 13);
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    int checked = 0;
    for (const QString& page : pages) {
        QFile file(folder.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QRegularExpressionMatch& m :
             link.globalMatch(QString::fromUtf8(file.readAll()))) {
            QFile linked(folder.filePath(m.captured(1).isEmpty() ? page : m.captured(1)));
            ASSERT_TRUE(linked.open(QIODevice::ReadOnly))
                << page.toStdString() << " links to " << m.captured(0).toStdString();
            const QString anchor = QStringLiteral("name=\"%1\"").arg(m.captured(2));
            EXPECT_TRUE(m.captured(2).isEmpty() ||
                        QString::fromUtf8(linked.readAll()).contains(anchor))
                << page.toStdString() << " links to a missing " << m.captured(0).toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

TEST(HelpViewerTest, KeywordSearchListsTheTopicsMentioningIt) {
    HelpViewer viewer;
    // The match sits in its sentence as the topic has it: "resolution." stays one word.
    viewer.Handle(nullptr, Request(Command::PartialKey, 0, "resolution"));
    const QString text = viewer.Browser()->toPlainText();
    EXPECT_TRUE(text.contains("resolution.")) << text.toStdString();
    EXPECT_FALSE(text.contains(QRegularExpression("\\w [.,;:!?)]"))) << text.toStdString();
    viewer.Handle(nullptr, Request(Command::PartialKey, 0, "overlap"));
    const QString html = viewer.Browser()->toHtml();
    EXPECT_TRUE(html.contains("glossary.html"));
    EXPECT_TRUE(html.contains("appointment.html"));
    EXPECT_FALSE(html.contains("usinghelp.html"));
    viewer.ShowSearch(QStringLiteral("a&b=c#d+e%"));
    EXPECT_TRUE(viewer.CurrentTitle().contains(QStringLiteral("a&b=c#d+e%")))
        << "URL characters survive the round trip: " << viewer.CurrentTitle().toStdString();
    viewer.ShowSearch(QString());
    EXPECT_EQ(viewer.CurrentTitle(), "Index");
    EXPECT_EQ(viewer.Browser()->toHtml().count("qrc:/help/"), 18 + 2) << "every topic + footer";
}

// Macros are reported; window positions are read in thousand-twenty-fourths of the screen.
TEST(HelpViewerTest, MacrosAreReportedAndWindowPositionsAreScreenShares) {
    HelpViewer viewer;
    viewer.Handle(nullptr, Request(Command::Macro, 0, "JumpId(`x')"));
    EXPECT_EQ(viewer.CurrentTitle(), "Help command not available");
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains("JumpId(`x')"));
    IWindowing::HelpRequest place = Request(Command::SetWindowPos);
    place.x = place.width = place.height = 512;
    viewer.Handle(nullptr, place);
    const QRect area = viewer.screen()->availableGeometry();
    EXPECT_NEAR(viewer.x(), area.x() + area.width() / 2, 1);
    EXPECT_NEAR(viewer.width(), area.width() / 2, 1);
    EXPECT_NEAR(viewer.height(), area.height() / 2, 1);
}

TEST(QtWindowingHelpTest, OpensTheViewerAndQuitClosesIt) {
    QtWindowing windowing;
    windowing.Help(nullptr, Request(Command::Quit));
    EXPECT_EQ(windowing.Viewer(), nullptr) << "quitting must not open the viewer";
    windowing.Help(nullptr, Request(Command::Context, 3));
    ASSERT_NE(windowing.Viewer(), nullptr);
    EXPECT_TRUE(windowing.Viewer()->isVisible());
    EXPECT_EQ(windowing.Viewer()->CurrentSource(), QUrl("qrc" + HelpViewer::TopicPath(3)));
    EXPECT_EQ(windowing.Viewer()->size(),
              QSize(HelpViewer::DefaultWidth, HelpViewer::DefaultHeight));
    windowing.Help(nullptr, Request(Command::Contents));
    EXPECT_EQ(windowing.Viewer()->CurrentSource(), QUrl("qrc" + HelpViewer::ContentsPath()));
    windowing.Help(nullptr, Request(Command::Quit));
    EXPECT_FALSE(windowing.Viewer()->isVisible());
}

} // namespace
