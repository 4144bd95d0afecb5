#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "schedule/CommandLine.h"

namespace {

using Action = CommandLine::Action;

struct LineCase {
    const char* name;
    std::vector<std::string> arguments;
    Action action;
    const char* text; // part of what is printed, byte for byte
    const char* data; // the data folder asked for, byte for byte; nullptr for none
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, ParsesOrSaysWhatIsWrong) {
    const LineCase& c = GetParam();
    std::vector<std::string> arguments{"/usr/bin/tidemar"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine line = CommandLine::Parse(arguments);
    EXPECT_EQ(line.action, c.action);
    EXPECT_NE(line.text.find(c.text), std::string::npos) << line.text;
    EXPECT_EQ(line.dataFolder.value_or("none"), c.data ? c.data : "none");
    EXPECT_FALSE(line.pdfFile);
    EXPECT_FALSE(line.calendar);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(
        LineCase{"Nothing", {}, Action::Run, "", nullptr},
        LineCase{"Data", {"--data", "/srv/plans"}, Action::Run, "", "/srv/plans"},
        LineCase{"DataWithEquals", {"--data=/srv/plans"}, Action::Run, "", "/srv/plans"},
        // Latin-1 bytes under a UTF-8 locale: not text, still a folder's name.
        LineCase{"DataNotUtf8", {"--data", "/srv/caf\xe9"}, Action::Run, "", "/srv/caf\xe9"},
        LineCase{"Help", {"--help"}, Action::Help, "Usage: tidemar [options]", nullptr},
        LineCase{"HelpListsData", {"-h"}, Action::Help, "--data <FOLDER>", nullptr},
        LineCase{"Version", {"--version"}, Action::Version, "Tidemar PE 2.00.0002\n", nullptr},
        LineCase{"UnknownOption", {"--colour"}, Action::Error, "Unknown option 'colour'", nullptr},
        LineCase{"NoFolder", {"--data"}, Action::Error, "Missing value after '--data'", nullptr},
        LineCase{"DataEmpty", {"--data="}, Action::Error, "--data needs a folder", ""},
        LineCase{"Stray", {"plans.bin"}, Action::Error, "unexpected argument 'plans.bin'", nullptr},
        LineCase{"StrayNotUtf8", {"caf\xe9"}, Action::Error, "argument 'caf\xe9'\n", nullptr},
        LineCase{"ViewWithoutPdf",
                 {"--view", "week"},
                 Action::Error,
                 "--view and --date go with --pdf",
                 nullptr},
        LineCase{"TwoCommands",
                 {"--pdf", "a.pdf", "--ics", "a.ics"},
                 Action::Error,
                 "only one of --pdf, --ics, --csv, --import-ics and --sync",
                 nullptr},
        LineCase{"ResourceWithoutCalendar",
                 {"--resource", "Hall"},
                 Action::Error,
                 "go with --ics, --csv or --import-ics FILE",
                 nullptr},
        LineCase{"ServerWithoutSync",
                 {"--server", "https://dav.example/"},
                 Action::Error,
                 "--server, --user and --password-file go with --sync",
                 nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CommandLinePdfTest, TheReportsOptionsAreKept) {
    const CommandLine line = CommandLine::Parse(
        {"tidemar", "--pdf", "Woche-\xfc.pdf", "--view", "week", "--date", "2026-12-07"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.pdfFile.value_or(""), "Woche-\xfc.pdf");
    EXPECT_EQ(line.view, "week");
    EXPECT_EQ(line.date, "2026-12-07");
}

TEST(CommandLineSyncTest, TheServerAndThePasswordFileAreKept) {
    const CommandLine line =
        CommandLine::Parse({"tidemar", "--sync", "--server", "https://dav.example/", "--user",
                            "ann", "--password-file", "/home/ann/.pw-\xfc", "--data", "/srv"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_TRUE(line.sync);
    EXPECT_EQ(line.server, "https://dav.example/");
    EXPECT_EQ(line.user, "ann");
    EXPECT_EQ(line.passwordFile.value_or(""), "/home/ann/.pw-\xfc");
    EXPECT_EQ(line.dataFolder.value_or(""), "/srv");
    EXPECT_FALSE(CommandLine::Parse({"tidemar"}).sync);
}

TEST(CommandLineCalendarTest, TheCalendarOptionsAreKept) {
    const CommandLine line = CommandLine::Parse(
        {"tidemar", "--import-ics", "caf\xe9.ics", "--resource", "Hall", "--type", "Cut",
         "--customer", "Bob", "--from", "2026-12-01", "--to", "2026-12-31"});
    EXPECT_EQ(line.action, Action::Run);
    ASSERT_TRUE(line.calendar);
    const CalendarRequest& r = *line.calendar;
    EXPECT_EQ(std::tuple(r.kind, r.file, r.resource, r.type, r.customer, r.from, r.to),
              std::tuple(CalendarRequest::Kind::Import, std::string("caf\xe9.ics"), "Hall", "Cut",
                         "Bob", "2026-12-01", "2026-12-31"));
    EXPECT_EQ(CommandLine::Parse({"tidemar", "--csv", "a.csv"}).calendar->kind,
              CalendarRequest::Kind::Csv);
}

} // namespace
