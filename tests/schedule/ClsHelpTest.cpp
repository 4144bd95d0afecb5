#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <gtest/gtest.h>

#include "schedule/ClsHelp.h"
#include "support/ScriptedWindowing.h"

namespace {

using Command = IWindowing::HelpRequest::Command;

const QString File = QStringLiteral("/opt/tidemar/TIDEMARPE.HLP");

struct MemberCase {
    const char* name;
    std::function<void(ClsHelp&, QWidget*)> call;
    Command command;
    QString file;
    int context;
    QString text;
};

class ClsHelpMemberTest : public ::testing::TestWithParam<MemberCase> {};

TEST_P(ClsHelpMemberTest, MakesExactlyOneRequest) {
    const MemberCase& c = GetParam();
    ScriptedWindowing windowing;
    ClsHelp help(windowing);
    QWidget owner;
    c.call(help, &owner);
    ASSERT_EQ(windowing.helps.size(), 1);
    const ScriptedWindowing::HelpCall& made = windowing.helps.front();
    EXPECT_EQ(made.owner, &owner);
    EXPECT_EQ(made.request.command, c.command);
    EXPECT_EQ(made.request.file, c.file);
    EXPECT_EQ(made.request.context, c.context);
    EXPECT_EQ(made.request.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClsHelpMemberTest,
    ::testing::Values(
        MemberCase{"QuitHelp", [](ClsHelp& h, QWidget* w) { h.QuitHelp(w, File); }, Command::Quit,
                   File, 0, QString(4, QChar(u'\0'))},
        MemberCase{"ShowHelpTopic", [](ClsHelp& h, QWidget* w) { h.ShowHelpTopic(w, File, 3); },
                   Command::Context, File, 3, ""},
        MemberCase{"ShowHelpTopic2", [](ClsHelp& h, QWidget* w) { h.ShowHelpTopic2(w, File, 6); },
                   Command::Context, File + ">HlpWnd02", 6, ""},
        MemberCase{"ShowHelpTopic3", [](ClsHelp& h, QWidget* w) { h.ShowHelpTopic3(w, File, 7); },
                   Command::Context, File + ">HlpWnd03", 7, ""},
        MemberCase{"ShowGlossary", [](ClsHelp& h, QWidget* w) { h.ShowGlossary(w, File); },
                   Command::Context, File, 64000, ""},
        MemberCase{"ShowPopupHelp", [](ClsHelp& h, QWidget* w) { h.ShowPopupHelp(w, File, 10); },
                   Command::ContextPopup, File, 10, ""},
        MemberCase{"DoHelpMacro",
                   [](ClsHelp& h, QWidget* w) { h.DoHelpMacro(w, File, " JumpId(`a') "); },
                   Command::Macro, File, 0, " JumpId(`a') "},
        MemberCase{"ShowHelpContents", [](ClsHelp& h, QWidget* w) { h.ShowHelpContents(w, File); },
                   Command::Contents, File, 0, ""},
        MemberCase{"ShowContentsTab", [](ClsHelp& h, QWidget* w) { h.ShowContentsTab(w, File); },
                   Command::Finder, File, 0, ""},
        MemberCase{"ShowHelpOnHelp", [](ClsHelp& h, QWidget* w) { h.ShowHelpOnHelp(w, File); },
                   Command::HelpOnHelp, File, 0, ""},
        MemberCase{"SearchHelp", [](ClsHelp& h, QWidget* w) { h.SearchHelp(w, File); },
                   Command::PartialKey, File, 0, ""},
        // Only blanks are trimmed; a tab inside stays.
        MemberCase{"SearchHelpKeyWord",
                   [](ClsHelp& h, QWidget* w) { h.SearchHelpKeyWord(w, File, "  over\tlap  "); },
                   Command::PartialKey, File, 0, "over\tlap"},
        MemberCase{"SearchHelpKeyWordAllBlank",
                   [](ClsHelp& h, QWidget* w) { h.SearchHelpKeyWord(w, File, "   "); },
                   Command::PartialKey, File, 0, ""}),
    [](const ::testing::TestParamInfo<MemberCase>& param) { return param.param.name; });

TEST(ClsHelpTest, HelpWindowSizeSendsTheFourValues) {
    ScriptedWindowing windowing;
    ClsHelp help(windowing);
    help.HelpWindowSize(nullptr, File, 10, -20, 512, 1023);
    help.HelpWindowSize(nullptr, File, 1, 2, 3, 4);
    ASSERT_EQ(windowing.helps.size(), 2);
    const IWindowing::HelpRequest& first = windowing.helps[0].request;
    EXPECT_EQ(first.command, Command::SetWindowPos);
    EXPECT_EQ(first.file, File);
    EXPECT_EQ((std::array{first.x, first.y, first.width, first.height}),
              (std::array{10, -20, 512, 1023}));
    const IWindowing::HelpRequest& second = windowing.helps[1].request;
    EXPECT_EQ((std::array{second.x, second.y, second.width, second.height}),
              (std::array{1, 2, 3, 4}));
}

TEST(ClsHelpTest, TheHelpFileLiesBesideTheProgram) {
    EXPECT_STREQ(ClsHelp::HelpFileName, "TIDEMARPE.HLP");
    EXPECT_TRUE(ClsHelp::HelpFilePath().endsWith("/TIDEMARPE.HLP"));
}

} // namespace
