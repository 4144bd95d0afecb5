#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "controls/HelpViewer.h"
#include "controls/QtWindowing.h"

namespace {

using Command = IWindowing::HelpRequest::Command;

const QString NotFoundTitle = QStringLiteral("Topic not found");

QString PlainText(const HelpViewer& viewer) {
    return viewer.Browser()->toPlainText();
}

IWindowing::HelpRequest Request(Command command, int context = 0, const QString& text = {}) {
    IWindowing::HelpRequest request;
    request.command = command;
    request.file = QStringLiteral("TIDEMARPE.HLP");
    request.context = context;
    request.text = text;
    return request;
}

class HelpTopicTest : public ::testing::TestWithParam<int> {};

TEST_P(HelpTopicTest, EveryContextOpensACompiledInTopic) {
    HelpViewer viewer;
    const QString path = HelpViewer::TopicPath(GetParam());
    ASSERT_FALSE(path.isEmpty());
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    viewer.ShowContext(GetParam());
    EXPECT_EQ(viewer.CurrentSource(), QUrl("qrc" + path));
    EXPECT_FALSE(viewer.CurrentTitle().isEmpty());
    EXPECT_NE(viewer.CurrentTitle(), NotFoundTitle);
    EXPECT_GT(PlainText(viewer).size(), 400) << "a topic with hardly any text";
}

INSTANTIATE_TEST_SUITE_P(Contexts, HelpTopicTest,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 64000));

class UnknownContextTest : public ::testing::TestWithParam<int> {};

TEST_P(UnknownContextTest, ShowsTheNotFoundPageNamingTheNumber) {
    HelpViewer viewer;
    viewer.ShowContext(GetParam());
    EXPECT_EQ(viewer.CurrentTitle(), NotFoundTitle);
    EXPECT_TRUE(PlainText(viewer).contains(QString::number(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Contexts, UnknownContextTest, ::testing::Values(9, 11, -1, 63999));

TEST(HelpViewerTest, EveryLinkInEveryTopicLeadsSomewhere) {
    const QDir folder(QStringLiteral(":/help"));
    const QStringList pages = folder.entryList({"*.html"}, QDir::Files);
    ASSERT_GE(pages.size(), 13);
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
    int checked = 0;
    for (const QString& page : pages) {
        QFile file(folder.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& m : link.globalMatch(html)) {
            const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
            QFile linked(folder.filePath(target));
            ASSERT_TRUE(linked.open(QIODevice::ReadOnly))
                << page.toStdString() << " links to " << target.toStdString();
            if (!m.captured(2).isEmpty()) {
                const QString anchor = QStringLiteral("name=\"%1\"").arg(m.captured(2));
                EXPECT_TRUE(QString::fromUtf8(linked.readAll()).contains(anchor))
                    << page.toStdString() << " links to a missing " << m.captured(0).toStdString();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

TEST(HelpViewerTest, BackAndForwardWalkTheHistory) {
    HelpViewer viewer;
    viewer.ShowContents();
    viewer.ShowContext(0);
    viewer.ShowContext(12345);
    viewer.Browser()->backward();
    EXPECT_EQ(viewer.CurrentSource(), QUrl("qrc" + HelpViewer::TopicPath(0)));
    viewer.Browser()->backward();
    EXPECT_EQ(viewer.CurrentSource(), QUrl("qrc" + HelpViewer::ContentsPath()));
    viewer.Browser()->forward();
    viewer.Browser()->forward();
    EXPECT_EQ(viewer.CurrentTitle(), NotFoundTitle);
}

TEST(HelpViewerTest, KeywordSearchListsTheTopicsMentioningIt) {
    HelpViewer viewer;
    viewer.Handle(nullptr, Request(Command::PartialKey, 0, "overlap"));
    const QString html = viewer.Browser()->toHtml();
    EXPECT_TRUE(html.contains("glossary.html"));
    EXPECT_TRUE(html.contains("appointment.html"));
    EXPECT_FALSE(html.contains("usinghelp.html"));
}

TEST(HelpViewerTest, KeywordsWithUrlCharactersSurviveTheRoundTrip) {
    HelpViewer viewer;
    viewer.ShowSearch(QStringLiteral("a&b=c#d+e%"));
    EXPECT_TRUE(viewer.CurrentTitle().contains(QStringLiteral("a&b=c#d+e%")))
        << viewer.CurrentTitle().toStdString();
}

TEST(HelpViewerTest, AnEmptySearchListsEveryTopic) {
    HelpViewer viewer;
    viewer.ShowSearch(QString());
    EXPECT_EQ(viewer.CurrentTitle(), "Index");
    EXPECT_EQ(viewer.Browser()->toHtml().count("qrc:/help/"), 13 + 2); // topics + footer links
}

TEST(HelpViewerTest, AMacroIsReportedInTheViewer) {
    HelpViewer viewer;
    viewer.Handle(nullptr, Request(Command::Macro, 0, "JumpId(`x')"));
    EXPECT_EQ(viewer.CurrentTitle(), "Help command not available");
    EXPECT_TRUE(PlainText(viewer).contains("JumpId(`x')"));
}

TEST(HelpViewerTest, WindowPositionIsReadInScreenThousandTwentyFourths) {
    HelpViewer viewer;
    IWindowing::HelpRequest place = Request(Command::SetWindowPos);
    place.x = 512;
    place.y = 0;
    place.width = 512;
    place.height = 512;
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
