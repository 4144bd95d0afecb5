// Deleting many appointments at once: the same result as deleting them one by one, and a
// failure part way leaves the records and the per-resource index in step.
#include <stdexcept>

#include "store/StoreTestFiles.h"

namespace {

const int32_t kDay = ClsDate::DayNumberFromCivil(2026, 12, 7);

// Two resources whose appointments alternate in the store: a1 b1 a2 b2 ...
class BulkDeleteTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        store.ResourceSave(a, "A");
        store.ResourceSave(b, "B");
        for (int i = 0; i < 6; ++i) {
            for (int32_t resource : {a, b}) {
                int32_t id = 0;
                store.AppointmentSave(id, 0, resource, 0, kDay * 2048 + 60 * i,
                                      kDay * 2048 + 60 * i + 30, "");
                (resource == a ? as : bs).push_back(id);
            }
        }
    }
    IdList IndexOf(int32_t resource) {
        IdList ids;
        for (const ResourceSlot& slot : store.AppointmentsOfResource(resource)) {
            ids.push_back(slot.id);
        }
        return ids;
    }

    ClsGlobal store{Folders()};
    int32_t a = 0, b = 0;
    IdList as, bs;
};

TEST_F(BulkDeleteTest, DeletesTheGivenIdsAsOneByOneWould) {
    int changes = 0;
    store.SetChangeListener([&] { ++changes; });
    // Out of order, with a repeat, an unknown id and another resource's.
    EXPECT_EQ(store.AppointmentsDelete(IdList{as[4], as[1], 999, as[4], bs[2]}), 3u);
    EXPECT_EQ(changes, 3) << "one change per appointment deleted";
    EXPECT_EQ(IndexOf(a), (IdList{as[0], as[2], as[3], as[5]}));
    EXPECT_EQ(IndexOf(b), (IdList{bs[0], bs[1], bs[3], bs[4], bs[5]}));
    EXPECT_EQ(Ids(store.Appointments()),
              (IdList{as[0], bs[0], bs[1], as[2], as[3], bs[3], bs[4], as[5], bs[5]}));
    EXPECT_EQ(store.AppointmentsDelete({}), 0u);

    // The freed times can be booked again; the ones left still collide.
    int32_t id = 0;
    EXPECT_GT(store.AppointmentSave(id, 0, a, 0, kDay * 2048 + 60, kDay * 2048 + 90, ""), 0);
    id = 0;
    EXPECT_EQ(store.AppointmentSave(id, 0, a, 0, kDay * 2048 + 120, kDay * 2048 + 150, ""), -1);

    EXPECT_EQ(store.AppointmentsDelete(IndexOf(a)), 5u);
    EXPECT_TRUE(store.AppointmentsOfResource(a).empty());
    EXPECT_EQ(IndexOf(b), (IdList{bs[0], bs[1], bs[3], bs[4], bs[5]}));
}

// A failure stops the deletes at the one it struck; the index follows the records exactly.
TEST_F(BulkDeleteTest, AFailureStopsWhereItStruck) {
    int changes = 0;
    store.SetChangeListener([&] {
        if (++changes == 3) {
            throw std::runtime_error("refused");
        }
    });
    EXPECT_THROW(store.AppointmentsDelete(IdList{as[0], bs[0], as[1], as[2], bs[1]}),
                 std::runtime_error);
    store.SetChangeListener(nullptr);
    EXPECT_EQ(IndexOf(a), (IdList{as[2], as[3], as[4], as[5]}));
    EXPECT_EQ(IndexOf(b), (IdList{bs[1], bs[2], bs[3], bs[4], bs[5]}));
    EXPECT_FALSE(store.Appointments().Exists(as[1]));
    EXPECT_TRUE(store.Appointments().Exists(as[2]));
}

} // namespace
