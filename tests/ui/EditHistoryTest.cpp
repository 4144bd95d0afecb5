// The session's history: what it keeps of the changes made, what it drops, and that a refused
// step leaves both stacks as they were.
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <memory>

#include "store/StoreObserver.h"

#include "support/ServicesFixture.h"
#include "ui/EditHistory.h"

namespace {

class EditHistoryTest : public ServicesFixture {
public:
    void SetUp() override {
        ServicesFixture::SetUp();
        resource = AddResource("Room");
        customer = AddCustomer("Ann");
        type = AddType("Hour");
        day = date.Today();
    }
    // A history that starts with the records above in place.
    EditHistory& Start(int steps = EditHistory::kStepLimit,
                       size_t bytes = EditHistory::kByteLimit) {
        history = std::make_unique<EditHistory>(changes(), steps, bytes);
        return *history;
    }
    int32_t Book(int startMinute) {
        return AddAppointment(resource, customer, type, day, startMinute, startMinute + 60);
    }

    int32_t resource = 0, customer = 0, type = 0, day = 0;
    std::unique_ptr<EditHistory> history;
};

TEST_F(EditHistoryTest, KeepsChangesOfRecordsNotItsOwnStepsNorSettings) {
    EditHistory& h = Start();
    QSignalSpy told(&h, &EditHistory::Changed);
    const int32_t first = Book(600);
    Book(720);
    changes().SetPreviewZoom(150);
    EXPECT_EQ(h.Count(), 2);
    ASSERT_EQ(h.Undo(), std::nullopt);
    EXPECT_FALSE(store().Appointments().Exists(first + 1));
    EXPECT_EQ(h.Count(), 2) << "the undo is not a step of its own";
    EXPECT_EQ(h.UndoText(), "Add appointment");
    EXPECT_EQ(h.RedoText(), "Add appointment");
    EXPECT_GE(told.count(), 3);
    changes().AppointmentDelete(first);
    EXPECT_FALSE(h.CanRedo()) << "a new change ends what could be redone";
    EXPECT_EQ(h.UndoText(), "Delete appointment");
    EXPECT_EQ(h.Redo(), std::nullopt) << "nothing to redo, nothing done";
}

// The oldest steps go past the limits; the newest stays however big it is.
TEST_F(EditHistoryTest, DropsTheOldestPastItsLimits) {
    EditHistory& counted = Start(3);
    for (int i = 0; i < 5; ++i) {
        Book(60 * i);
    }
    EXPECT_EQ(counted.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(counted.Undo(), std::nullopt);
    }
    EXPECT_FALSE(counted.CanUndo());
    EXPECT_EQ(store().Appointments().Count(), 2U);

    EditHistory& weighed = Start(EditHistory::kStepLimit, 1);
    Book(900);
    Book(1000);
    EXPECT_EQ(weighed.Count(), 1);
    EXPECT_GT(weighed.Bytes(), 1U);
    EXPECT_EQ(weighed.Undo(), std::nullopt);
    EXPECT_EQ(store().Appointments().Count(), 3U);
}

// A booking made around the history takes the slot an undo would fill: the undo is refused,
// and the same step is offered afterwards.
TEST_F(EditHistoryTest, ARefusedStepLeavesBothStacks) {
    const int32_t kept = Book(600);
    EditHistory& h = Start();
    changes().AppointmentDelete(kept);
    const auto around = [&](auto change) {
        StoreObserver* observer = store().SetObserver(nullptr);
        change();
        store().SetObserver(observer);
    };
    int32_t inTheWay = 0;
    around([&] {
        store().AppointmentSave(inTheWay, customer, resource, type, date.JoinDateTime(day, 630),
                                date.JoinDateTime(day, 660), "");
    });
    const auto refusal = h.Undo();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->otherId, inTheWay);
    EXPECT_FALSE(store().Appointments().Exists(kept));
    EXPECT_TRUE(h.CanUndo() && !h.CanRedo());
    EXPECT_EQ(h.UndoText(), "Delete appointment");
    around([&] { store().AppointmentDelete(inTheWay); });
    EXPECT_EQ(h.Undo(), std::nullopt);
    EXPECT_TRUE(store().Appointments().Exists(kept));
}

} // namespace
