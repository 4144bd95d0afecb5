// The session's history: old steps go by count and by memory, oldest first, the newest always
// stays, and a step the store refuses stays where it was.
#include <string>

#include "store/StoreChanges.h"
#include "support/StoreFixture.h"
#include "ui/EditHistory.h"

namespace {

class EditHistoryTest : public StoreFixture {
public:
    int32_t AddResource(const std::string& name) {
        int32_t id = 0;
        return changes.ResourceSave(id, name);
    }

    ClsGlobal store{ProgramFolders{dir.path()}};
    StoreChanges changes{store};
};

struct LimitCase {
    const char* name;
    int stepLimit;
    size_t halfSteps; // the byte limit, in halves of a step of the size made here
    int kept;
};
void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.name;
}
class EditHistoryLimitTest : public EditHistoryTest,
                             public ::testing::WithParamInterface<LimitCase> {};

TEST_P(EditHistoryLimitTest, DropsTheOldestSteps) {
    size_t stepBytes = 0;
    {
        auto probe =
            changes.Subscribe([&](const ChangeSet& set) { stepBytes = EditStep(set).Bytes(); });
        ASSERT_GT(AddResource("Room 0"), 0);
    }
    ASSERT_GT(stepBytes, 0U);
    const size_t byteLimit = GetParam().halfSteps * stepBytes / 2;
    EditHistory history(changes, GetParam().stepLimit, byteLimit);
    for (int i = 1; i <= 5; ++i) {
        ASSERT_GT(AddResource("Room " + std::to_string(i)), 0);
    }
    EXPECT_EQ(history.Count(), GetParam().kept);
    EXPECT_TRUE(history.Bytes() <= byteLimit || history.Count() == 1) << history.Bytes();
    while (history.CanUndo()) {
        ASSERT_EQ(history.Undo(), std::nullopt);
    }
    // What the history no longer holds stays done.
    EXPECT_EQ(store.Resources().Count(), static_cast<size_t>(6 - GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(Limits, EditHistoryLimitTest,
                         ::testing::Values(LimitCase{"ByCount", 3, 200, 3},
                                           LimitCase{"ByMemory", 1000, 5, 2},
                                           LimitCase{"NewestAlwaysKept", 1000, 1, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

// A refused undo leaves the step to be taken back, not done again.
TEST_F(EditHistoryTest, RefusedUndoStaysOnTheUndoSide) {
    EditHistory history(changes);
    const int32_t id = AddResource("Room");
    ASSERT_GT(id, 0);
    // Renamed where the history does not hear of it.
    StoreObserver* heard = store.SetObserver(nullptr);
    int32_t again = id;
    ASSERT_GT(store.ResourceSave(again, "Renamed outside"), 0);
    store.SetObserver(heard);
    ASSERT_TRUE(history.Undo().has_value());
    EXPECT_TRUE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoText(), "Add resource");
}

} // namespace
