// Cut, copy, paste and duplicate, and the keys on the grid's selected booking: what each
// does to the store, the one named change it makes, and why it refuses when it does.
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "dialogs/DlgAppointment.h"
#include "grid/ScheduleGrid.h"
#include "support/MainWindowFixture.h"

namespace {

using Command = DlgMain::Command;

// The week from Wednesday 2 June 2021 with two rows, Room and Studio, and one booking: Ann in
// the Room from 10:00 to 11:00, of a type in half hours. The grid has the focus.
class DlgMainEditTest : public MainWindowFixture {
public:
    void SetUp() override {
        UsedBefore();
        MainWindowFixture::SetUp();
        window->resize(1000, 500);
        window->show();
        window->Form_Activate();
        room = AddResource("Room");
        studio = AddResource("Studio");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        type = changes().TypeSave(type, "Half hours", 0x0000FF, 0x00FFFF, 30, 0, 30);
        original = Book(ann, room, 600, 660, "REF-1");
        ASSERT_EQ(grid().RowData(1), room);
        told = changes().Subscribe([this](const ChangeSet& set) { named << set.what.c_str(); });
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        grid().setFocus();
        ASSERT_TRUE(grid().hasFocus());
    }
    int32_t Book(int32_t customer, int32_t resource, int startMinute, int endMinute,
                 const char* reference = "") {
        int32_t id = 0;
        return changes().AppointmentSave(id, customer, resource, type, At(startMinute),
                                         At(endMinute), reference);
    }
    // Minutes from today's midnight, packed.
    int32_t At(int minutes) const {
        return date.MinutesAdjust(date.JoinDateTime(today, 0), minutes);
    }
    void Key(Qt::Key key) { QTest::keyClick(&grid(), key); }
    void Run(Command command) { window->Action(command)->trigger(); }
    void Click(int row, int minute) {
        grid().ScrollToTime(today, minute);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().PointFor(today, minute, row));
    }

    // A booking as the test compares it; `kept` when it has the original's id.
    using Booking = std::tuple<int32_t, int32_t, int32_t, int, int, std::string, bool>;
    std::vector<Booking> Bookings() const {
        std::vector<Booking> all;
        for (int32_t resource : {room, studio}) {
            for (const ResourceSlot& slot : window->Global().AppointmentsOfResource(resource)) {
                auto a = window->Global().AppointmentLoad(slot.id);
                all.emplace_back(a->ResourceId(), a->CustomerId(), a->TypeId(),
                                 date.MinutesBetween(At(0), a->StartDtTm()),
                                 date.MinutesBetween(At(0), a->EndDtTm()), a->Reference(),
                                 a->Id() == original);
            }
        }
        std::sort(all.begin(), all.end());
        return all;
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : ui.messages) {
            texts << m.title + ": " + m.text;
        }
        return texts;
    }

    const int32_t today = Day(2021, 6, 2);
    int32_t room = 0, studio = 0, ann = 0, bob = 0, type = 0, original = 0;
    QStringList named;
    StoreChanges::Subscription told;
};

struct EditCase {
    const char* name;
    std::function<void(DlgMainEditTest&)> act;
    // Every booking after: row (1 Room, 2 Studio), customer (1 Ann, 2 Bob), start and end in
    // minutes from today's midnight, reference, and whether it is the original.
    std::vector<std::tuple<int, int, int, int, std::string, bool>> bookings;
    QStringList changes;
    QStringList messages;
    int selectedStart; // the selected booking's start, -1 for none
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditCommands : public DlgMainEditTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditCommands, ChangeTheStoreAsOneNamedStep) {
    const EditCase& c = GetParam();
    c.act(*this);
    std::vector<Booking> expected;
    for (const auto& [row, customer, start, end, reference, kept] : c.bookings) {
        expected.emplace_back(row == 1 ? room : studio, customer == 1 ? ann : bob, type, start, end,
                              reference, kept);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Bookings(), expected);
    EXPECT_EQ(named, c.changes);
    EXPECT_EQ(Messages(), c.messages);
    const int32_t selected = window->SelectedAppointment();
    EXPECT_EQ(selected == 0 ? -1
                            : date.MinutesBetween(
                                  At(0), window->Global().AppointmentLoad(selected)->StartDtTm()),
              c.selectedStart);
}

const QString kOriginal = "Ann, 02 Jun 2021 10:00 to 11:00";

const EditCase kCases[] = {
    // 14:10 snaps to the type's half hour.
    EditCase{"PasteKeepsTheFieldsAtTheClickedPlace",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditCopy);
                 t.Click(2, 850);
                 t.Run(Command::EditPaste);
             },
             {{1, 1, 600, 660, "REF-1", true}, {2, 1, 840, 900, "REF-1", false}},
             {"Paste appointment"},
             {},
             840},
    EditCase{"TheCopyOutlivesTheOriginal",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditCopy);
                 t.ui.answers.push_back(IWindowing::Answer::Yes);
                 t.Key(Qt::Key_Delete);
                 t.Click(1, 720);
                 t.Run(Command::EditPaste);
             },
             {{1, 1, 720, 780, "REF-1", false}},
             {"Delete appointment", "Paste appointment"},
             {"Confirm!: Confirm delete appointment " + kOriginal + "?"},
             720},
    EditCase{"CutAsksNothingAndPastesBack",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditCut);
                 t.Click(1, 780);
                 t.Run(Command::EditPaste);
             },
             {{1, 1, 780, 840, "REF-1", false}},
             {"Cut appointment", "Paste appointment"},
             {},
             780},
    EditCase{"PasteOntoABookingIsRefusedNamingIt",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditCopy);
                 t.Click(1, 620);
                 t.Run(Command::EditPaste);
             },
             {{1, 1, 600, 660, "REF-1", true}},
             {},
             {"Paste appointment: The copy would overlap the appointment of " + kOriginal + "."},
             600},
    EditCase{"PasteWithoutAPlaceSaysSo",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditCopy);
                 t.window->mnuEditPaste_Click();
             },
             {{1, 1, 600, 660, "REF-1", true}},
             {},
             {"Paste appointment: Click the place in the schedule where the copy should go "
              "first."},
             600},
    EditCase{"DuplicateGoesRightAfter",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditDuplicate);
             },
             {{1, 1, 600, 660, "REF-1", true}, {1, 1, 660, 720, "REF-1", false}},
             {"Duplicate appointment"},
             {},
             660},
    // The gap between the two others is too short.
    EditCase{"DuplicateTakesTheNextFreeTimeOfItsLength",
             [](auto& t) {
                 t.Book(t.bob, t.room, 660, 690);
                 t.Book(t.bob, t.room, 720, 750);
                 t.named.clear();
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditDuplicate);
             },
             {{1, 1, 600, 660, "REF-1", true},
              {1, 2, 660, 690, "", false},
              {1, 2, 720, 750, "", false},
              {1, 1, 750, 810, "REF-1", false}},
             {"Duplicate appointment"},
             {},
             750},
    EditCase{"DuplicateLooksNoFurtherThanAYear",
             [](auto& t) {
                 t.Book(t.bob, t.room, 660, 367 * 1440);
                 t.named.clear();
                 t.Key(Qt::Key_Tab);
                 t.Run(Command::EditDuplicate);
             },
             {{1, 1, 600, 660, "REF-1", true}, {1, 2, 660, 367 * 1440, "", false}},
             {},
             {"Duplicate appointment: There is no free time as long as " + kOriginal +
              " on its row within a year after it."},
             600},
    EditCase{"DeleteKeyAsksFirst",
             [](auto& t) {
                 t.Key(Qt::Key_Tab);
                 t.Key(Qt::Key_Delete);
             },
             {{1, 1, 600, 660, "REF-1", true}},
             {},
             {"Confirm!: Confirm delete appointment " + kOriginal + "?"},
             600},
};

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Table, EditCommands, ::testing::ValuesIn(kCases), kCaseName);

// Cut, Copy and Duplicate want a selected booking, Paste something copied; Enter edits the
// booking Tab reached.
TEST_F(DlgMainEditTest, CommandsAreGreyedWithNothingToWorkOn) {
    const auto enabled = [this] {
        QString state;
        for (Command command :
             {Command::EditCut, Command::EditCopy, Command::EditPaste, Command::EditDuplicate}) {
            state += window->Action(command)->isEnabled() ? "1" : "0";
        }
        return state;
    };
    EXPECT_EQ(enabled(), "0000");
    Key(Qt::Key_Tab);
    EXPECT_EQ(enabled(), "1101");
    Run(Command::EditCopy);
    EXPECT_EQ(enabled(), "1111");
    window->ShowResources();
    EXPECT_EQ(enabled(), "0010") << "a rebuild clears the selection, not the copy";
    Key(Qt::Key_Tab);
    Key(Qt::Key_Return);
    ASSERT_EQ(ui.modals.size(), 1);
    EXPECT_EQ(qobject_cast<DlgAppointment*>(ui.modals[0].dialog)->AppointmentId(), original);
}

} // namespace
