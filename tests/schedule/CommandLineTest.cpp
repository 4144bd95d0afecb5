#include <gtest/gtest.h>

#include "schedule/CommandLine.h"

namespace {

using Action = CommandLine::Action;

struct LineCase {
    const char* name;
    QStringList arguments;
    Action action;
    const char* text; // part of what is printed
    const char* data; // the data folder asked for, nullptr for none
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesOrSaysWhatIsWrong) {
    const LineCase& c = GetParam();
    const CommandLine line = CommandLine::Parse(QStringList{"/usr/bin/tidemar"} + c.arguments);
    EXPECT_EQ(line.action, c.action);
    EXPECT_TRUE(line.text.contains(c.text)) << line.text.toStdString();
    EXPECT_EQ(line.dataFolder.value_or("none"), c.data ? c.data : "none");
    EXPECT_FALSE(line.pdfFile);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(
        LineCase{"Nothing", {}, Action::Run, "", nullptr},
        LineCase{"Data", {"--data", "/srv/plans"}, Action::Run, "", "/srv/plans"},
        LineCase{"DataWithEquals", {"--data=/srv/plans"}, Action::Run, "", "/srv/plans"},
        LineCase{"Help", {"--help"}, Action::Help, "Usage: tidemar [options]", nullptr},
        LineCase{"HelpListsData", {"-h"}, Action::Help, "--data <FOLDER>", nullptr},
        LineCase{"Version", {"--version"}, Action::Version, "Tidemar PE 2.00.0002\n", nullptr},
        LineCase{"UnknownOption", {"--colour"}, Action::Error, "Unknown option 'colour'", nullptr},
        LineCase{"NoFolder", {"--data"}, Action::Error, "Missing value after '--data'", nullptr},
        LineCase{"DataEmpty", {"--data="}, Action::Error, "--data needs a folder", ""},
        LineCase{
            "Stray", {"plans.bin"}, Action::Error, "unexpected argument 'plans.bin'", nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CommandLinePdfTest, TheReportsOptionsAreKept) {
    const CommandLine line = CommandLine::Parse(
        {"tidemar", "--pdf", "week.pdf", "--view", "week", "--date", "2026-12-07"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.pdfFile.value_or(""), "week.pdf");
    EXPECT_EQ(line.view, "week");
    EXPECT_EQ(line.date, "2026-12-07");
}

} // namespace
