#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>

#include <tuple>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgRepeat.h"
#include "tests/dialogs/DialogFixture.h"
#include "ui/ClsDialog.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedTimeField.h"
#include "widgets/MultiColumnList.h"

namespace {

using Answer = IWindowing::Answer;

class DlgAppointmentTest : public DialogFixture {
protected:
    static std::pair<int32_t, int32_t> Times(DlgAppointment& d) {
        ClsDate date;
        return {date.JoinDateTime(d.DateStart()->Value(), d.TimeStart()->Value()),
                date.JoinDateTime(d.DateEnd()->Value(), d.TimeEnd()->Value())};
    }
    void Preset(int32_t resource, int32_t start, int32_t end) {
        dialog().SetAppointmentId(0);
        dialog().SetResourceId(resource);
        dialog().SetStartDateTime(start);
        dialog().SetEndDateTime(end);
    }
    DlgAppointment& dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<DlgAppointment>(services(), schedule());
        }
        return *dialog_;
    }
    void TearDown() override {
        dialog_.reset();
        DialogFixture::TearDown();
    }

    static void TypeOver(MaskedTimeField* field, const char* text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    const int32_t today = Day(2021, 6, 2);
    std::unique_ptr<DlgAppointment> dialog_;
};

struct RuleCase {
    const char* name;
    bool withType;
    int32_t minTime, maxTime, incTime;
    int startMinute, endDays, endMinute;                    // as drawn, from today
    int shownStartDays, shownStart, shownEndDays, shownEnd; // after CheckTime
};
class Rules : public DlgAppointmentTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(Rules, SetUpAppliesTheSelectedTypesRules) {
    const RuleCase& c = GetParam();
    int32_t room = AddResource("Room");
    if (c.withType) {
        AddType("Rules", c.minTime, c.maxTime, c.incTime);
    }
    Preset(room, At(today, c.startMinute), At(today + c.endDays, c.endMinute));
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        EXPECT_EQ(Times(d), std::make_pair(At(today + c.shownStartDays, c.shownStart),
                                           At(today + c.shownEndDays, c.shownEnd)));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Table, Rules,
    ::testing::Values(
        RuleCase{"BarDrawnExample", true, 30, 0, 15, 600, 0, 620, 0, 600, 0, 630},
        RuleCase{"SnapsToTheIncrement", true, 1, 0, 15, 607, 0, 683, 0, 600, 0, 690},
        RuleCase{"PulledBackToTheMaximum", true, 15, 60, 15, 600, 0, 720, 0, 600, 0, 660},
        RuleCase{"MaximumZeroIsNoLimit", true, 15, 0, 15, 600, 1, 600, 0, 600, 1, 600},
        RuleCase{"EndBeforeStartGetsTheMinimum", true, 45, 0, 5, 600, 0, 540, 0, 600, 0, 645},
        RuleCase{"AcrossMidnightFits", true, 30, 240, 30, 1350, 1, 60, 0, 1350, 1, 60},
        // Snapping up from 23:55 gives the next day's 00:00, not a minute 1440.
        RuleCase{"SnapToMidnightCarries", true, 15, 0, 15, 1435, 1, 20, 1, 0, 1, 15},
        // No type at all: a fresh type's rules, one minute each, no maximum.
        RuleCase{"FreshDefaultType", false, 0, 0, 0, 607, 0, 607, 0, 607, 0, 608}),
    [](const auto& row) { return std::string(row.param.name); });

struct SpinCase {
    const char* name;
    int32_t incTime;
    int startMinute;
    Qt::Key key;
    int days, minute; // the start afterwards
};
class TimeSpins : public DlgAppointmentTest, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(TimeSpins, StepByTheIncrementAndCarryTheDate) {
    const SpinCase& c = GetParam();
    int32_t room = AddResource("Room");
    AddType("Steps", 1, 0, c.incTime);
    Preset(room, At(today, c.startMinute), At(today, c.startMinute));
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        QTest::keyClick(d.TimeStart(), c.key);
        EXPECT_EQ(Times(d).first, At(today + c.days, c.minute));
        QTest::keyClick(d.TimeStart(), c.key == Qt::Key_Up ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(Times(d).first, At(today, c.startMinute)) << "and back";
    });
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, TimeSpins, ::testing::Values(
    SpinCase{"UpPastMidnight", 15, 1425, Qt::Key_Up, 1, 0},
    SpinCase{"DownPastMidnight", 15, 0, Qt::Key_Down, -1, 1425},
    SpinCase{"ByOneMinute", 1, 600, Qt::Key_Up, 0, 601}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

// Any stored format but 0 is month-first, as in the search and delete windows.
TEST_F(DlgAppointmentTest, DateFieldsAreMonthFirstForEveryFormatButZero) {
    for (int32_t format : {0, 1, 7}) {
        store().SetDateFormat(format);
        Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
            EXPECT_EQ(d.DateStart()->MonthFirst(), format != 0) << format;
            EXPECT_EQ(d.DateEnd()->MonthFirst(), format != 0) << format;
            d.reject();
        });
    }
}

TEST_F(DlgAppointmentTest, ShowSelectionsLeavesRefillsOrSelectsTheFirstName) {
    int32_t beta = AddCustomer("beta");
    int32_t alpha = AddCustomer("Alpha");
    int32_t room = AddResource("Room");
    AddType("Type", 1, 0, 1);
    Preset(room, 0, 0);
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbCustomer()), alpha);
        int32_t gamma = AddCustomer("Gamma");
        d.ShowSelections(-1, -1, -1);
        EXPECT_EQ(d.CbCustomer()->count(), 2) << "-1 leaves the list as it was";
        d.ShowSelections(beta, -1, -1);
        EXPECT_EQ(d.CbCustomer()->count(), 3);
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbCustomer()), beta);
        d.ShowSelections(gamma + 1000, -1, -1);
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbCustomer()), alpha) << "a missing id";
        d.ShowSelections(gamma, -1, -1);
        ASSERT_EQ(ClsDialog::ComboGetCurrentId(d.CbCustomer()), gamma);
        d.ShowSelections(0, -1, -1);
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbCustomer()), alpha) << "0";
    });
}

// Nothing preset: the names that sort first, the schedule's first day at 00:00, the end
// raised to the minimum. Setting only the id later keeps the previous presets.
TEST_F(DlgAppointmentTest, ANewAppointmentKeepsThePresetsOfThePreviousShowing) {
    AddResource("b room");
    int32_t aRoom = AddResource("A room");
    int32_t other = AddResource("Other");
    AddType("Hour", 60, 0, 30);
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbResource()), aRoom);
        EXPECT_EQ(Times(d), std::make_pair(At(today, 0), At(today, 60)));
        EXPECT_TRUE(d.TxtRef()->text().isEmpty());
    });
    Preset(other, At(today + 1, 480), At(today + 1, 600));
    Show<DlgAppointment>(dialog(), [](DlgAppointment& d) { d.TxtRef()->setText("typed"); });
    dialog().SetAppointmentId(0);
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        EXPECT_EQ(ClsDialog::ComboGetCurrentId(d.CbResource()), other);
        EXPECT_EQ(Times(d), std::make_pair(At(today + 1, 480), At(today + 1, 600)));
        EXPECT_TRUE(d.TxtRef()->text().isEmpty());
    });
}

struct RefusalCase {
    const char* name;
    bool resource;
    int existingStart, existingEnd; // -1: none
    const char* typedEnd;           // typed over the end time, or null
    const char* reason;
    bool editing = false; // a booking at 10:00 to 10:40, made first, is edited
};
class Refusals : public DlgAppointmentTest, public ::testing::WithParamInterface<RefusalCase> {
public:
    // The case's bookings made and the dialog preset: returns the booking edited, 0 for none.
    int32_t Arrange(const RefusalCase& c) {
        const int32_t room = c.resource ? AddResource("Room") : 0;
        const int32_t type = AddType("Type", 30, 0, 15);
        const int32_t edited = c.editing ? AddAppointment(AddCustomer("Bo"), room, type,
                                                          At(today, 600), At(today, 640))
                                         : 0;
        if (c.existingStart >= 0) {
            AddAppointment(AddCustomer("Ann Lee"), room, type, At(today, c.existingStart),
                           At(c.existingEnd < c.existingStart ? today + 1 : today, c.existingEnd));
        }
        Preset(room, At(today, 600), At(today, 660));
        dialog().SetAppointmentId(edited);
        return edited;
    }
};

// The dialog says why, stays open with its fields, and nothing is written.
TEST_P(Refusals, SayUnableToSaveWhyAndStayOpen) {
    const RefusalCase& c = GetParam();
    const int32_t edited = Arrange(c);
    const size_t before = store().Appointments().Count();
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        if (c.typedEnd != nullptr) {
            TypeOver(d.TimeEnd(), c.typedEnd);
        }
        const auto times = Times(d);
        d.mnuFileSave_Click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Times(d), times);
    });
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(std::tuple(ui.messages[0].text, ui.messages[0].title, ui.messages[0].detail),
              std::tuple("Unable to save appointment!", "Error!", c.reason));
    EXPECT_EQ(store().Appointments().Count(), before);
    EXPECT_EQ(dialog().AppointmentId(), edited);
}

// Repeat holds the fields to the same checks with the same words; an overlap is no reason to
// refuse, as the Repeat dialog lists it with the other dates.
TEST_P(Refusals, RepeatSaysTheSameOrListsTheOverlap) {
    const RefusalCase& c = GetParam();
    const int32_t edited = Arrange(c);
    const size_t before = store().Appointments().Count();
    const bool overlap = QString(c.reason).startsWith("It would overlap");
    QString firstState;
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        if (c.typedEnd != nullptr) {
            TypeOver(d.TimeEnd(), c.typedEnd);
        }
        ui.modalActions.push_back([&](QDialog* shown) {
            firstState = static_cast<DlgRepeat*>(shown)->LbDates()->ItemText(0, DlgRepeat::kState);
            return QDialog::Rejected;
        });
        d.mnuFileRepeat_Click();
        EXPECT_TRUE(d.isVisible());
    });
    if (overlap) {
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(firstState, "Collides");
    } else {
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(std::tuple(ui.messages[0].text, ui.messages[0].detail),
                  std::tuple("Unable to save appointment!", c.reason));
        EXPECT_FALSE(ui.log.contains("ShowModal DlgRepeat"));
    }
    EXPECT_EQ(store().Appointments().Count(), before);
    EXPECT_EQ(dialog().AppointmentId(), edited);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    ::testing::Values(RefusalCase{"Overlap", true, 630, 700, nullptr,
                                  "It would overlap this appointment of the same resource:\n"
                                  "Ann Lee, Type, 02/06/2021 10:30 to 11:40"},
                      RefusalCase{"OverlapWhileEditing", true, 660, 700, "1110",
                                  "It would overlap this appointment of the same resource:\n"
                                  "Ann Lee, Type, 02/06/2021 11:00 to 11:40",
                                  true},
                      RefusalCase{"OverlapIntoTheNextDay", true, 570, 30, nullptr,
                                  "It would overlap this appointment of the same resource:\n"
                                  "Ann Lee, Type, 02/06/2021 09:30 to 03/06/2021 00:30"},
                      RefusalCase{
                          "EndTypedBeforeStart", true, -1, -1, "0959",
                          "The end, 02/06/2021 09:59, is before the start, 02/06/2021 10:00."},
                      RefusalCase{"NoResource", false, -1, -1, nullptr,
                                  "No resource is chosen: add one to the schedule first."}),
    [](const auto& row) { return std::string(row.param.name); });

// A start date that does not exist stays as typed, shown as wrong, through a change of type;
// saving says which date is wrong, puts the focus on it and writes nothing. Once corrected,
// the date the user sees is the one saved.
TEST_F(DlgAppointmentTest, AnImpossibleDateStaysAsTypedAndIsNeverSavedAsAnother) {
    const int32_t room = AddResource("Room");
    AddType("Hour", 60, 0, 15);
    const int32_t quarter = AddType("Quarter", 15, 0, 15);
    Preset(room, At(today, 600), At(today, 660));
    ui.answers = {Answer::Ok};
    const int result = Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        d.DateStart()->setFocus();
        d.DateStart()->selectAll();
        QTest::keyClicks(d.DateStart(), "31022021");
        d.TxtRef()->setFocus();
        EXPECT_TRUE(d.DateStart()->ShownWrong());
        d.ShowSelections(-1, quarter, -1);
        QTest::keyClick(d.DateStart(), Qt::Key_Up);
        EXPECT_EQ(d.DateStart()->Text().toStdString(), "31/02/2021")
            << "neither the rules nor a spin";
        d.mnuFileSave_Click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.DateStart()->hasFocus());
        EXPECT_EQ(store().Appointments().Count(), 0u);
        QTest::keyClicks(d.DateStart(), "28022021");
        d.mnuFileSave_Click();
    });
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].detail, "The start date 31/02/2021 is not a valid date.");
    EXPECT_EQ(result, QDialog::Accepted);
    auto a = store().AppointmentLoad(dialog().AppointmentId());
    EXPECT_EQ(std::pair(a->StartDtTm(), a->EndDtTm()),
              std::pair(At(Day(2021, 2, 28), 600), At(today, 660)));
}

// Typing runs no rule: a short but not backward appointment is stored as typed, and empty
// customer and type lists store -1. The reference is stored trimmed.
TEST_F(DlgAppointmentTest, ATypedShortEndIsSavedAsTypedAndEmptyListsGiveMinusOne) {
    int32_t room = AddResource("Room");
    Preset(room, At(today, 600), At(today, 660));
    int result = Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        QTest::keyClicks(d.TxtRef(), "  AB 12   ");
        TypeOver(d.TimeEnd(), "1000");
        d.mnuFileSave_Click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    auto a = store().AppointmentLoad(dialog().AppointmentId());
    EXPECT_EQ(std::tuple(a->ResourceId(), a->StartDtTm(), a->EndDtTm(), a->CustomerId(),
                         a->TypeId(), a->Reference()),
              std::tuple(room, At(today, 600), At(today, 600), -1, -1, "AB 12"));
}

// Rules changed since the booking: the end shows adjusted, a save stores it, a cancel keeps
// the stored one. Missing customer, type and resource select the first names.
TEST_F(DlgAppointmentTest, AnOldAppointmentOpensWithTodaysRulesAndFirstNamesForWhatIsGone) {
    int32_t zed = AddCustomer("Zed");
    int32_t ann = AddCustomer("Ann");
    int32_t room = AddResource("Room");
    int32_t annex = AddResource("Annex");
    int32_t hour = AddType("Hour", 60, 60, 15);
    int32_t booking = AddAppointment(zed, room, hour, At(today, 600), At(today, 630));
    dialog().SetAppointmentId(booking);
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        EXPECT_EQ(Times(d).second, At(today, 660));
        d.mnuFileCancel_Click();
    });
    EXPECT_EQ(store().AppointmentLoad(booking)->EndDtTm(), At(today, 630));

    int32_t gone =
        AddAppointment(ann + 500, room + 500, hour + 500, At(today, 810), At(today, 870));
    dialog().SetAppointmentId(gone);
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) { d.mnuFileSave_Click(); });
    auto a = store().AppointmentLoad(gone);
    EXPECT_EQ(std::tuple(a->CustomerId(), a->ResourceId(), a->TypeId(), a->EndDtTm()),
              std::tuple(ann, annex, hour, At(today, 870)));
}

// The store takes the deleted customer's or type's bookings with it, nobody else's; the next
// name is selected, its rules apply, and a save stores the booking again.
TEST_F(DlgAppointmentTest, DeletingTheSelectedCustomerOrTypeThenSavingStoresTheBookingAgain) {
    int32_t ann = AddCustomer("Ann");
    int32_t zed = AddCustomer("Zed");
    int32_t room = AddResource("Room");
    int32_t quarter = AddType("Quarter", 15, 15, 15);
    int32_t doomed = AddType("Doomed", 30, 0, 30);
    int32_t booking = AddAppointment(zed, room, doomed, At(today, 600), At(today, 630));
    int32_t sameType = AddAppointment(ann, room, doomed, At(today, 700), At(today, 730));
    int32_t otherType = AddAppointment(ann, room, quarter, At(today, 800), At(today, 815));
    int32_t noType = AddAppointment(ann, room, 0, At(today, 900), At(today, 915));
    dialog().SetAppointmentId(booking);
    ui.answers = {Answer::No, Answer::Yes, Answer::Yes};
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        d.mnuCustomerDelete_Click();
        EXPECT_TRUE(store().Appointments().Exists(booking)) << "No keeps everything";
        d.mnuCustomerDelete_Click();
        EXPECT_FALSE(store().Appointments().Exists(booking));
        EXPECT_TRUE(store().Appointments().Exists(sameType));
        EXPECT_EQ(d.CbCustomer()->currentText(), "Ann");
        d.mnuTypeDelete_Click();
        EXPECT_EQ(d.CbType()->currentText(), "Quarter");
        EXPECT_EQ(Times(d).second, At(today, 615)) << "the new type's rules apply";
        d.mnuFileSave_Click();
    });
    ASSERT_EQ(ui.messages.size(), 3);
    EXPECT_EQ(ui.messages[1].text, "Confirm delete Zed?\r\n(1 appointment will be deleted)");
    EXPECT_EQ(ui.messages[1].buttons, IWindowing::Buttons::YesNo);
    EXPECT_EQ(ui.messages[2].text, "Confirm delete Doomed?\r\n(1 appointment will be deleted)")
        << "what the store deletes: the type's own, not the untyped";
    const auto& kept = store().Appointments();
    EXPECT_TRUE(!kept.Exists(sameType) && kept.Exists(otherType) && kept.Exists(noType));
    EXPECT_EQ(std::pair(store().AppointmentLoad(booking)->CustomerId(),
                        store().AppointmentLoad(booking)->TypeId()),
              std::pair(ann, quarter));
}

// The question before a delete says how many bookings go with the customer or the type.
TEST_F(DlgAppointmentTest, DeleteQuestionsCountTheBookingsThatGo) {
    const int32_t room = AddResource("Room");
    const int32_t none = AddCustomer("None");
    const int32_t three = AddCustomer("Three");
    const int32_t two = AddType("Two", 1, 0, 1);
    const int32_t unused = AddType("Unused", 1, 0, 1);
    for (int i = 0; i < 3; ++i) {
        AddAppointment(three, room, i < 2 ? two : 0, At(today, 60 * i), At(today, 60 * i + 30));
    }
    const std::tuple<int32_t, int32_t, const char*> rows[] = {
        {none, -1, "Confirm delete None?\r\n(no appointments will be deleted)"},
        {three, -1, "Confirm delete Three?\r\n(3 appointments will be deleted)"},
        {-1, two, "Confirm delete Two?\r\n(2 appointments will be deleted)"},
        {-1, unused, "Confirm delete Unused?\r\n(no appointments will be deleted)"},
    };
    Show<DlgAppointment>(dialog(), [&](DlgAppointment& d) {
        for (const auto& [customer, type, question] : rows) {
            d.ShowSelections(customer, type, -1);
            customer != -1 ? d.mnuCustomerDelete_Click() : d.mnuTypeDelete_Click();
            EXPECT_EQ(ui.messages.back().text, question);
        }
    });
    EXPECT_EQ(store().Appointments().Count(), 3u) << "every question answered No";
}

} // namespace
