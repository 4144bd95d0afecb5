// The import window: the list of events as they would fare, files refused whole, and Import
// as one step that the main window's Undo takes back.
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

#include "dialogs/DialogFixture.h"
#include "dialogs/DlgImport.h"
#include "store/FileSystem.h"
#include "support/MainWindowFixture.h"
#include "ui/EditHistory.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MultiColumnList.h"

namespace {

std::string Calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tests//EN\r\n" + events +
           "END:VCALENDAR\r\n";
}

std::string Event(const char* uid, const std::string& lines) {
    return std::string("BEGIN:VEVENT\r\nUID:") + uid + "\r\nDTSTAMP:20210601T000000Z\r\n" + lines +
           "END:VEVENT\r\n";
}

// One event of each kind, in floating time so the machine's zone does not matter: Ann free
// in the Room, Ann over Bob's booking in the Hall, seven minutes of a type that steps by
// fifteen, and one without a start.
const std::string kOneOfEach =
    Calendar(Event("free", "DTSTART:20210607T090000\r\nDTEND:20210607T100000\r\nSUMMARY:Ann\r\n"
                           "LOCATION:Room\r\n") +
             Event("over", "DTSTART:20210607T103000\r\nDTEND:20210607T113000\r\nSUMMARY:Ann\r\n"
                           "LOCATION:Hall\r\n") +
             Event("short", "DTSTART:20210608T090000\r\nDTEND:20210608T090700\r\nSUMMARY:Ann\r\n") +
             Event("nostart", "SUMMARY:Ann\r\n"));

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Rooms and Halls, Ann and Bob, the type Talk (15 to 480 minutes by 15) and Long (two hours
// or more); Bob has the Hall on 7 June from 10:00 to 11:00.
class DlgImportTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        room = ServicesFixture::AddResource("Room");
        hall = ServicesFixture::AddResource("Hall");
        ann = ServicesFixture::AddCustomer("Ann");
        bob = ServicesFixture::AddCustomer("Bob");
        talk = ServicesFixture::AddType("Talk");
        long_ = AddType("Long", 120, 480, 15);
        bobs = ServicesFixture::AddAppointment(hall, bob, talk, Day(2021, 6, 7), 600, 660);
        dialog = std::make_unique<DlgImport>(services(), FileSystem::Real());
    }
    void TearDown() override {
        dialog.reset();
        DialogFixture::TearDown();
    }
    // Shows the window, names the file through the open question (which checks it at once),
    // chooses the Room, Ann and Talk and runs the body.
    void Check(const std::string& text, const std::function<void(DlgImport&)>& body) {
        const std::string path = dir.path() + "/in.ics";
        Write(path, text);
        ui.fileNames.push_back(QString::fromStdString(path));
        Show<DlgImport>(*dialog, [&](DlgImport& d) {
            d.CbResource()->SelectId(room);
            d.CbCustomer()->SelectId(ann);
            d.CbType()->SelectId(talk);
            d.CmdBrowse()->click();
            body(d);
        });
    }
    static QStringList Statuses(DlgImport& d) {
        QStringList statuses;
        for (int row = 0; row < d.LbEvents()->ListCount(); ++row) {
            statuses << d.LbEvents()->ItemText(row, DlgImport::kStatus);
        }
        return statuses;
    }

    int32_t room = 0, hall = 0, ann = 0, bob = 0, talk = 0, long_ = 0, bobs = 0;
    std::unique_ptr<DlgImport> dialog;
};

// Every event is listed with its own status in words, and nothing is stored; a choice that
// changes re-checks the list.
TEST_F(DlgImportTest, ListsHowEachEventWouldFare) {
    Check(kOneOfEach, [&](DlgImport& d) {
        EXPECT_EQ(Statuses(d),
                  (QStringList{
                      "Will be booked", "Collides with Bob Mon 07 Jun 2021 10:00 to 11:00 on Hall",
                      "Outside the type's rules: " + QString::fromStdString(d.Rows()[2].why),
                      "Unreadable: it has no start"}));
        EXPECT_FALSE(d.Rows()[2].why.empty());
        EXPECT_EQ(d.LbEvents()->ItemText(0, DlgImport::kDate), "Mon 07 Jun 2021");
        EXPECT_EQ(d.LbEvents()->ItemText(0, DlgImport::kTime), "09:00 to 10:00");
        EXPECT_EQ(d.LbEvents()->ItemText(0, DlgImport::kSummary), "Ann");
        EXPECT_EQ(d.LbEvents()->ItemText(0, DlgImport::kResource), "Room");
        EXPECT_EQ(d.LbEvents()->ItemText(2, DlgImport::kResource), "Room");
        EXPECT_TRUE(d.CmdImport()->isEnabled());
        d.CbType()->SelectId(long_);
        EXPECT_TRUE(Statuses(d)[0].startsWith("Outside the type's rules: "));
        EXPECT_FALSE(d.CmdImport()->isEnabled());
    });
    EXPECT_EQ(store().Appointments().Count(), 1u);
}

TEST_F(DlgImportTest, HelpOpensItsTopic) {
    Show<DlgImport>(*dialog, [](DlgImport& d) { d.CmdHelp()->click(); });
    ASSERT_EQ(ui.helps.size(), 1);
    EXPECT_EQ(ui.helps[0].request.context, 13);
}

struct Refusal {
    const char* name;
    std::string text; // empty: no file at all
    const char* why;  // part of what the message says
};

class ImportRefusal : public DlgImportTest, public ::testing::WithParamInterface<Refusal> {};

// A file refused whole is told with its reason, lists nothing and cannot be imported.
TEST_P(ImportRefusal, TellsWhyAndChangesNothing) {
    const Refusal& r = GetParam();
    const std::string path = dir.path() + "/in.ics";
    const auto check = [&](DlgImport& d) {
        if (r.text.empty()) {
            d.TxtFile()->setText(QString::fromStdString(path + ".gone"));
            d.CmdCheck()->click();
        }
        EXPECT_EQ(d.LbEvents()->ListCount(), 0);
        EXPECT_FALSE(d.CmdImport()->isEnabled());
        d.CmdImport()->click();
    };
    if (r.text.empty()) {
        Show<DlgImport>(*dialog, check);
    } else {
        Check(r.text, check);
    }
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].detail.contains(r.why)) << ui.messages[0].detail.toStdString();
    EXPECT_EQ(store().Appointments().Count(), 1u);
}

const Refusal kRefusals[] = {
    {"BrokenLine", Calendar("BEGIN:VEVENT\r\nDTSTART;;;:x\r\n\x01\x02\r\nEND:VEVENT\r\n"), "line"},
    {"Missing", "", "not found"},
};
INSTANTIATE_TEST_SUITE_P(Table, ImportRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& p) { return std::string(p.param.name); });

// Import from the main window books the free occurrences of a repeating event; one Undo
// takes every one of them back.
class ImportUndoTest : public MainWindowFixture {};

TEST_F(ImportUndoTest, ImportIsOneUndoStep) {
    UsedBefore();
    const int32_t room = AddResource("Room");
    AddCustomer("Ann");
    const int32_t talk = AddType("Talk");
    const std::string path = dir.path() + "/in.ics";
    Write(path, Calendar(Event("daily", "DTSTART:20210607T090000\r\nDTEND:20210607T100000\r\n"
                                        "RRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:Ann\r\n")));
    ui.fileNames.push_back(QString::fromStdString(path));
    ui.modalActions.push_back([&](QDialog* shown) {
        auto& d = dynamic_cast<DlgImport&>(*shown);
        d.CbResource()->SelectId(room);
        d.CbType()->SelectId(talk);
        d.CmdBrowse()->click();
        d.CmdImport()->click();
        return shown->result();
    });
    const size_t before = store().Appointments().Count();
    window->mnuFileImport_Click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, "3 events booked, 0 skipped.");
    EXPECT_EQ(store().Appointments().Count(), before + 3);
    EXPECT_EQ(window->History().UndoText(), "Import calendar");
    window->mnuEditUndo_Click();
    EXPECT_EQ(store().Appointments().Count(), before);
    EXPECT_TRUE(store().Resources().Exists(room));
}

} // namespace
