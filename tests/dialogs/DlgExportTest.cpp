// The export window: what each choice writes, the search results, and a write that fails.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "calendar/IcsReader.h"
#include "calendar/IcsWriter.h"
#include "dialogs/DialogFixture.h"
#include "dialogs/DlgExport.h"
#include "store/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"

namespace {

using What = DlgExport::What;
using Format = DlgExport::Format;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Ann in the Room on 2 June, Bob in the Hall on 3 June, Bob in the Room on 10 June; the
// schedule shows 1 to 7 June.
class DlgExportTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        room = AddResource("Room");
        hall = AddResource("Hall");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        const int32_t talk = ServicesFixture::AddType("Talk");
        annRoom = ServicesFixture::AddAppointment(room, ann, talk, Day(2021, 6, 2), 540, 600);
        bobHall = ServicesFixture::AddAppointment(hall, bob, talk, Day(2021, 6, 3), 600, 660);
        bobLater = ServicesFixture::AddAppointment(room, bob, talk, Day(2021, 6, 10), 600, 660);
        dialog = std::make_unique<DlgExport>(services(), *files, [this] { return found; });
        dialog->SetShownRange(Day(2021, 6, 1), Day(2021, 6, 7));
    }
    void TearDown() override {
        dialog.reset();
        DialogFixture::TearDown();
    }
    std::string Path(const char* name) const { return dir.path() + "/" + name; }
    // What the folder holds besides the error log.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.insert(entry.path().string());
        }
        names.erase(folders.LogFile());
        return names;
    }
    // Shows the window, lets the body choose, names the file through the save question and
    // presses Export; true when the window stayed open.
    bool Export(const std::string& path, const std::function<void(DlgExport&)>& choose) {
        ui.fileNames.push_back(QString::fromStdString(path));
        bool open = false;
        Show<DlgExport>(*dialog, [&](DlgExport& d) {
            choose(d);
            d.CmdBrowse()->click();
            d.CmdExport()->click();
            open = d.isVisible();
        });
        return open;
    }
    // The appointments the file names, in its order.
    std::vector<int32_t> IdsInIcs(const std::string& path) const {
        const IcsReadResult read = ReadIcs(Slurp(path), 0, 1000000, MachineZone());
        std::vector<int32_t> ids;
        for (const IcsEvent& e : read.events) {
            ids.push_back(IdOfUid(folders.Data(), e.uid));
        }
        return ids;
    }
    // The CSV's data rows by their start: "2021-06-02 09:00".
    static std::vector<std::string> StartsInCsv(const std::string& path) {
        std::istringstream in(Slurp(path));
        std::vector<std::string> starts;
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            starts.push_back(line.substr(0, 10) + " " + line.substr(11, 5));
        }
        return starts;
    }

    int32_t room = 0, hall = 0, ann = 0, bob = 0;
    int32_t annRoom = 0, bobHall = 0, bobLater = 0;
    std::vector<int32_t> found;
    std::unique_ptr<FaultyFileSystem> files = std::make_unique<FaultyFileSystem>();
    std::unique_ptr<DlgExport> dialog;
};

struct Choice {
    const char* name;
    What what;
    Format format;
    std::vector<const char*> starts; // the bookings written, by start
};

class ExportChoice : public DlgExportTest, public ::testing::WithParamInterface<Choice> {};

// Each choice writes exactly its bookings of the range, in either format, and says how many.
TEST_P(ExportChoice, WritesTheChosenBookingsOfTheRange) {
    const Choice& c = GetParam();
    found = {bobLater, bobHall, annRoom};
    const std::string path = Path(c.format == Format::Csv ? "out.csv" : "out.ics");
    EXPECT_FALSE(Export(path, [&](DlgExport& d) {
        d.OptFormat(c.format)->setChecked(true);
        d.CbResource()->SelectId(room);
        d.CbCustomer()->SelectId(bob);
        d.OptWhat(c.what)->setChecked(true);
    }));
    std::vector<std::string> want(c.starts.begin(), c.starts.end());
    if (c.format == Format::Csv) {
        EXPECT_EQ(StartsInCsv(path), want);
    } else {
        const std::map<int32_t, std::string> startOf = {{annRoom, "2021-06-02 09:00"},
                                                        {bobHall, "2021-06-03 10:00"},
                                                        {bobLater, "2021-06-10 10:00"}};
        std::vector<std::string> starts;
        for (int32_t id : IdsInIcs(path)) {
            starts.push_back(startOf.count(id) != 0 ? startOf.at(id) : "unknown id");
        }
        EXPECT_EQ(starts, want);
    }
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text.toStdString(),
              (want.size() == 1 ? "1 booking" : std::to_string(want.size()) + " bookings") +
                  " exported to " + path + ".");
    EXPECT_EQ(dialog->Exported(), want.size());
}

const Choice kChoices[] = {
    {"AllIcs", What::All, Format::Ics, {"2021-06-02 09:00", "2021-06-03 10:00"}},
    {"AllCsv", What::All, Format::Csv, {"2021-06-02 09:00", "2021-06-03 10:00"}},
    {"ResourceIcs", What::Resource, Format::Ics, {"2021-06-02 09:00"}},
    {"CustomerCsv", What::Customer, Format::Csv, {"2021-06-03 10:00"}},
    // In the search's own order.
    {"SearchResultsCsv",
     What::SearchResults,
     Format::Csv,
     {"2021-06-03 10:00", "2021-06-02 09:00"}},
};
INSTANTIATE_TEST_SUITE_P(Table, ExportChoice, ::testing::ValuesIn(kChoices),
                         [](const auto& p) { return std::string(p.param.name); });

// The search results can be chosen only when the last search found something; asked for
// without any, the window starts on all bookings.
TEST_F(DlgExportTest, SearchResultsOnlyWhenThereAreSome) {
    for (bool any : {false, true}) {
        SCOPED_TRACE(any);
        found = any ? std::vector<int32_t>{bobHall} : std::vector<int32_t>{};
        dialog->SetWhat(What::SearchResults);
        Show<DlgExport>(*dialog, [&](DlgExport& d) {
            EXPECT_EQ(d.OptWhat(What::SearchResults)->isEnabled(), any);
            EXPECT_EQ(d.OptWhat(What::SearchResults)->isChecked(), any);
            EXPECT_EQ(d.OptWhat(What::All)->isChecked(), !any);
            EXPECT_EQ(d.DateFrom()->Value(), Day(2021, 6, 1));
            EXPECT_EQ(d.DateTo()->Value(), Day(2021, 6, 7));
        });
    }
}

TEST_F(DlgExportTest, HelpOpensItsTopic) {
    Show<DlgExport>(*dialog, [](DlgExport& d) { d.CmdHelp()->click(); });
    ASSERT_EQ(ui.helps.size(), 1);
    EXPECT_EQ(ui.helps[0].request.context, 12);
}

struct Failure {
    const char* name;
    const char* file;
    FaultyFileSystem::Op op; // failed on the file's own name
    int error;
};

class ExportFailure : public DlgExportTest, public ::testing::WithParamInterface<Failure> {};

// A write that fails is told, keeps what the file held and leaves nothing else behind; the
// window stays open to choose another file.
TEST_P(ExportFailure, KeepsTheOldFileAndTells) {
    const Failure& f = GetParam();
    const std::string path = Path(f.file);
    const bool existed = std::filesystem::exists(std::filesystem::path(path).parent_path());
    if (existed) {
        std::ofstream(path) << "old";
    }
    files->faults.push_back({f.op, f.file, 0, f.error});
    const std::set<std::string> before = Names();
    EXPECT_TRUE(Export(path, [](DlgExport&) {}));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].title, "Error!");
    EXPECT_TRUE(ui.messages[0].detail.contains(QString::fromStdString(path)));
    EXPECT_EQ(dialog->Exported(), 0u);
    EXPECT_EQ(Names(), before);
    if (existed) {
        EXPECT_EQ(Slurp(path), "old");
    }
}

const Failure kFailures[] = {
    {"DiskFull", "out.ics", FaultyFileSystem::Op::Write, ENOSPC},
    {"RenameRefused", "out.ics", FaultyFileSystem::Op::Rename, EACCES},
    {"NoSuchFolder", "gone/out.ics", FaultyFileSystem::Op::Open, ENOENT},
    // No fault: the data folder itself is refused.
    {"IntoTheDataFolder", "Data/Notes.ics", FaultyFileSystem::Op::List, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, ExportFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
