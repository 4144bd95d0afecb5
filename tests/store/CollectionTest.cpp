#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "store/ClsCustomer.h"
#include "store/Collection.h"
#include "store/FileIo.h"
#include "store/IdIndex.h"

namespace {

ClsCustomer Customer(int32_t id, const std::string& name = "") {
    ClsCustomer c;
    c.SetId(id);
    c.SetName(name);
    return c;
}

// The bytes a collection's file image holds, pieces joined.
std::vector<std::byte> Bytes(const FileImage& image) {
    std::vector<std::byte> out(image.owned.begin(), image.owned.end());
    for (const auto& piece : image.pieces) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

std::vector<std::byte> Expected(const std::vector<int32_t>& ids) {
    std::vector<std::byte> out;
    for (int32_t id : ids) {
        ClsCustomer c = Customer(id, std::to_string(id));
        auto bytes = std::as_bytes(std::span(&c, 1));
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

std::vector<int32_t> Order(const Collection<ClsCustomer>& c) {
    std::vector<int32_t> ids;
    for (const auto& r : c) {
        ids.push_back(r.Id());
    }
    return ids;
}

TEST(CollectionTest, KeysIgnoreCaseButNotDigits) {
    Collection<ClsCustomer> c('A');
    for (int32_t id : {5, 17, -3, std::numeric_limits<int32_t>::max()}) {
        c.Add(Customer(id));
    }
    EXPECT_EQ(c.Key(17), "17A");
    EXPECT_EQ(c.Key(-3), "-3A");
    // clang-format off
    const std::pair<const char*, int32_t> rows[] = {
        {"5a", 5}, {"5A", 5}, {"17a", 17}, {"-3a", -3}, {"2147483647A", 2147483647},
        {"05A", 0}, {"5C", 0}, {"5", 0}, {"", 0}, {"A", 0}, {"+5A", 0}, {" 5A", 0}, {"5 A", 0},
        {"2147483648A", 0}, {"-0A", 0}};
    // clang-format on
    for (auto [key, id] : rows) {
        auto found = c.Item(key);
        EXPECT_EQ(found ? found->Id() : 0, id) << key;
    }
}

// Removing most records in random order compacts the slots; order and lookups must hold
// after every step, and appends in between must land at the end.
TEST(CollectionTest, ManyRemovesKeepOrderAndLookups) {
    std::mt19937 rng(20240611);
    Collection<ClsCustomer> c('C');
    std::vector<int32_t> expected;
    int32_t nextId = 1;
    for (int step = -2000; step < 1990; ++step) {
        if (step < 0 || step % 7 == 0) {
            c.Add(Customer(nextId, std::to_string(nextId)));
            expected.push_back(nextId++);
        }
        if (step >= 0) {
            auto pick = std::uniform_int_distribution<size_t>(0, expected.size() - 1)(rng);
            ASSERT_TRUE(c.Remove(expected[pick]));
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(pick));
        }
        ASSERT_EQ(c.Count(), expected.size());
        if (step % 50 == 0 || expected.size() < 80) {
            ASSERT_EQ(Order(c), expected) << "step " << step;
            ASSERT_EQ(Bytes(c.Image("Customer.bin")), Expected(expected)) << "step " << step;
            for (int32_t kept : expected) {
                ASSERT_EQ(c.Item(std::to_string(kept) + "c")->Name(), std::to_string(kept));
            }
        }
    }
    c.Clear();
    EXPECT_TRUE(Order(c).empty());
    EXPECT_FALSE(c.Find(expected.front()));
}

// What a lookup handed out and what a file image holds stay as they were, whatever the
// collection does next: a save in progress writes exactly what it was given.
TEST(CollectionTest, HandedOutRecordsAndImagesOutliveChanges) {
    Collection<ClsCustomer> c('C');
    std::vector<int32_t> ids;
    for (int32_t id = 1; id <= 300; ++id) {
        c.Add(Customer(id, std::to_string(id)));
        ids.push_back(id);
    }
    auto held = c.Find(150);
    FileImage image = c.Image("Customer.bin");
    for (int32_t id = 1; id <= 290; ++id) { // compacts more than once
        ASSERT_TRUE(c.Remove(id));
    }
    c.Add(Customer(150, "replaced"));
    c.Clear();
    EXPECT_EQ(held->Name(), "150");
    EXPECT_EQ(Bytes(image), Expected(ids));
}

// The index must agree with a standard map under any mix of operations. Pools of random
// keys crowd a small table so that probe chains meet and wrap around its end; pools of
// neighbouring ids with a few far away fill the plain array and spill past it; the last
// round grows the table to thousands of keys.
TEST(CollectionTest, IdIndexAgreesWithStandardMap) {
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        std::vector<int32_t> pool = {0, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()};
        const size_t poolSize = round < 99 ? 4 + rng() % 28 : 5000;
        const bool neighbours = round % 2 == 1;
        const int32_t base = static_cast<int32_t>(rng() % 100000);
        while (pool.size() < poolSize) {
            pool.push_back(neighbours && rng() % 8 != 0
                               ? base + static_cast<int32_t>(rng() % (2 * poolSize))
                               : static_cast<int32_t>(rng()));
        }
        IdIndex index;
        std::unordered_map<int32_t, uint32_t> model;
        auto agree = [&](int32_t key) {
            auto it = model.find(key);
            return index.Find(key) ==
                   (it == model.end() ? std::nullopt : std::optional(it->second));
        };
        for (int op = 0; op < 4000; ++op) {
            const int32_t key = pool[rng() % pool.size()];
            const auto value = static_cast<uint32_t>(rng() % 1000);
            if (const auto kind = rng() % 3; kind == 0) {
                ASSERT_EQ(index.Insert(key, value), model.emplace(key, value).second);
            } else if (kind == 1) {
                ASSERT_EQ(index.Erase(key), model.erase(key) == 1);
            } else {
                index.Update(key, value);
                if (auto it = model.find(key); it != model.end()) {
                    it->second = value;
                }
            }
            ASSERT_EQ(index.Size(), model.size());
            for (size_t k = 0; k < pool.size() && (pool.size() < 100 || op % 500 == 0); ++k) {
                ASSERT_TRUE(agree(pool[k])) << "round " << round << " op " << op << " key " << k;
            }
        }
        index.Reserve(4 * pool.size(), base, base + 100); // a grown table keeps every entry
        for (int32_t k : pool) {
            ASSERT_TRUE(agree(k)) << k;
        }
        index.Clear();
        EXPECT_FALSE(index.Find(pool.back()));
        EXPECT_EQ(index.Size(), 0u);
    }
}

} // namespace
