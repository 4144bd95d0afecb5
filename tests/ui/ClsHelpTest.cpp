#include <array>
#include <gtest/gtest.h>

#include "support/ScriptedWindowing.h"
#include "ui/ClsHelp.h"

namespace {

using Command = IWindowing::HelpRequest::Command;

TEST(ClsHelpTest, EachMemberMakesExactlyItsOneRequest) {
    const QString file = QStringLiteral("/opt/tidemar/TIDEMARPE.HLP");
    ScriptedWindowing windowing;
    ClsHelp help(windowing);
    QWidget owner;
    help.QuitHelp(&owner, file);
    help.ShowHelpTopic(&owner, file, 3);
    help.ShowHelpTopic2(&owner, file, 6);
    help.ShowHelpTopic3(&owner, file, 7);
    help.ShowGlossary(&owner, file);
    help.ShowPopupHelp(&owner, file, 10);
    help.DoHelpMacro(&owner, file, " JumpId(`a') ");
    help.ShowHelpContents(&owner, file);
    help.ShowContentsTab(&owner, file);
    help.ShowHelpOnHelp(&owner, file);
    help.SearchHelp(&owner, file);
    help.SearchHelpKeyWord(&owner, file, "  \tover lap  "); // only blanks are trimmed
    help.SearchHelpKeyWord(&owner, file, "   ");
    help.HelpWindowSize(&owner, file, 10, -20, 512, 1023);
    help.HelpWindowSize(&owner, file + "x", 1, 2, 3, 4);
    const struct {
        Command command;
        QString file;
        int context;
        QString text;
        std::array<int, 4> place;
    } expected[] = {
        {Command::Quit, file, 0, QString(4, QChar(u'\0')), {}},
        {Command::Context, file, 3, "", {}},
        {Command::Context, file + ">HlpWnd02", 6, "", {}},
        {Command::Context, file + ">HlpWnd03", 7, "", {}},
        {Command::Context, file, 64000, "", {}},
        {Command::ContextPopup, file, 10, "", {}},
        {Command::Macro, file, 0, " JumpId(`a') ", {}},
        {Command::Contents, file, 0, "", {}},
        {Command::Finder, file, 0, "", {}},
        {Command::HelpOnHelp, file, 0, "", {}},
        {Command::PartialKey, file, 0, "", {}},
        {Command::PartialKey, file, 0, "\tover lap", {}},
        {Command::PartialKey, file, 0, "", {}},
        {Command::SetWindowPos, file, 0, "", {10, -20, 512, 1023}},
        {Command::SetWindowPos, file + "x", 0, "", {1, 2, 3, 4}},
    };
    ASSERT_EQ(windowing.helps.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const IWindowing::HelpRequest& made = windowing.helps[i].request;
        EXPECT_EQ(windowing.helps[i].owner, &owner);
        EXPECT_EQ(made.command, expected[i].command);
        EXPECT_EQ(made.file, expected[i].file);
        EXPECT_EQ(made.context, expected[i].context);
        EXPECT_EQ(made.text, expected[i].text);
        EXPECT_EQ((std::array{made.x, made.y, made.width, made.height}), expected[i].place);
    }
}

} // namespace
