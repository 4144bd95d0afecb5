// The records as their files hold them, and the collections that keep them.
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "base/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/Collection.h"
#include "store/FileIo.h"
#include "store/IdIndex.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Little-endian int32 fields, then one text field of raw code-page bytes padded to width.
Bytes Record(std::initializer_list<int32_t> head, std::string text, size_t width,
             std::initializer_list<int32_t> tail = {}) {
    Bytes out;
    const auto ints = [&](std::initializer_list<int32_t> values) {
        for (int32_t v : values) {
            const auto* p = reinterpret_cast<const uint8_t*>(&v);
            out.insert(out.end(), p, p + 4);
        }
    };
    ints(head);
    text.resize(width, ' ');
    out.insert(out.end(), text.begin(), text.end());
    ints(tail);
    return out;
}
// A record is its file record, byte for byte: this is how the store writes and reads it.
template <class T> Bytes Saved(const T& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(p, p + sizeof(T));
}
template <class T> T Loaded(const Bytes& bytes) {
    T record;
    EXPECT_EQ(bytes.size(), sizeof(T));
    std::memcpy(&record, bytes.data(), sizeof(T));
    return record;
}

TEST(RecordsTest, Layouts) {
    Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 9, 31, 0});
    const ClsAppointment fresh;
    Clock::SetFixed(std::nullopt);
    const int32_t now = ClsDate::DayNumberFromCivil(2026, 12, 5) * 2048 + 571;
    EXPECT_EQ(Saved(fresh), Record({0, 0, 0, 0, now, now}, "", 12));
    EXPECT_EQ(Saved(ClsType()), Record({0}, "", 24, {255, 65535, 1, 0, 1}));

    const auto a = Loaded<ClsAppointment>(
        Record({17, 7, -4, 0x01020304, 92364 * 2048 + 540, kMax}, "  MTG 001", 12));
    EXPECT_EQ(std::make_tuple(a.Id(), a.CustomerId(), a.ResourceId(), a.TypeId(), a.StartDtTm(),
                              a.EndDtTm(), a.Reference()),
              std::make_tuple(17, 7, -4, 0x01020304, 92364 * 2048 + 540, kMax, "MTG 001"));
    const auto t = Loaded<ClsType>(Record({3}, " Review", 24, {255, 0x00FFFF00, 15, 480, 30}));
    EXPECT_EQ(std::make_tuple(t.Id(), t.Name(), t.BackColor(), t.ForeColor(), t.MinTime(),
                              t.MaxTime(), t.IncTime()),
              std::make_tuple(3, "Review", 255, 0x00FFFF00, 15, 480, 30));
    // Bytes the code page leaves undefined, and durations below one minute, are kept.
    Loaded<ClsCustomer>(Record({1}, "\x81\x8D\x8F\x90\x9D\xFF", 24));
    Loaded<ClsType>(Record({3}, "", 24, {1, 2, 0, -1, -7}));
}

// Texts are cut to their width in characters and stored in Windows-1252, '?' for what it
// lacks; resource names keep their spaces.
TEST(RecordsTest, Texts) {
    std::string e20;
    for (int i = 0; i < 20; ++i) {
        e20 += "é";
    }
    ClsCustomer c;
    c.SetName("Zoë €uro ☃" + e20);
    EXPECT_EQ(Saved(c), Record({0}, "Zo\xEB \x80uro ?" + std::string(14, '\xE9'), 24));
    EXPECT_EQ(c.Name(), "Zoë €uro ?" + e20.substr(0, 28));
    ClsResource r;
    r.SetName("  x" + std::string(30, 'R'));
    EXPECT_EQ(r.Name(), "  x" + std::string(21, 'R'));
    ClsAppointment a(ClsAppointment::Blank{});
    a.SetReference("  ABCDEFGHIJKLM");
    EXPECT_EQ(a.Reference(), "ABCDEFGHIJ");
}

ClsCustomer Customer(int32_t id) {
    ClsCustomer c;
    c.SetId(id);
    c.SetName(std::to_string(id));
    return c;
}
// A file image's bytes, or the bytes of customers with these ids.
std::vector<std::byte> Joined(const FileImage& image) {
    std::vector<std::byte> out(image.owned.begin(), image.owned.end());
    for (const auto& piece : image.pieces) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}
std::vector<std::byte> Of(const std::vector<int32_t>& ids) {
    std::vector<ClsCustomer> records;
    for (int32_t id : ids) {
        records.push_back(Customer(id));
    }
    const auto bytes = std::as_bytes(std::span(records));
    return {bytes.begin(), bytes.end()};
}

// Removing most records in random order compacts the slots; order, file bytes and lookups
// must hold after every step, and appends in between must land at the end. What a lookup
// handed out and a file image taken earlier stay as they were.
TEST(CollectionTest, ManyRemovesKeepOrderLookupsAndWhatWasHandedOut) {
    std::mt19937 rng(20240611);
    Collection<ClsCustomer> c;
    std::vector<int32_t> expected;
    int32_t nextId = 1;
    std::shared_ptr<const ClsCustomer> held;
    std::optional<FileImage> image;
    for (int step = -2000; step < 1990; ++step) {
        if (step < 0 || step % 7 == 0) {
            c.Add(Customer(nextId));
            expected.push_back(nextId++);
        }
        if (step == 0) {
            held = c.Find(1500);
            image = c.Image("Customer.bin");
        }
        if (step >= 0) {
            auto pick = std::uniform_int_distribution<size_t>(0, expected.size() - 1)(rng);
            ASSERT_TRUE(c.Remove(expected[pick]));
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(pick));
        }
        ASSERT_EQ(c.Count(), expected.size());
        if (step % 50 == 0 || expected.size() < 80) {
            ASSERT_EQ(Joined(c.Image("Customer.bin")), Of(expected)) << "step " << step;
            std::vector<int32_t> order;
            for (const ClsCustomer& r : c) {
                order.push_back(r.Id());
                ASSERT_EQ(c.Find(r.Id())->Name(), std::to_string(r.Id()));
            }
            ASSERT_EQ(order, expected) << "step " << step;
        }
    }
    c.Clear();
    EXPECT_EQ(c.Count(), 0u);
    EXPECT_EQ(held->Name(), "1500");
    std::vector<int32_t> all(2001);
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(Joined(*image), Of(all));
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
        const int32_t base = static_cast<int32_t>(rng() % 100000);
        while (pool.size() < poolSize) {
            pool.push_back(round % 2 == 1 && rng() % 8 != 0
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
                if (model.count(key) != 0) {
                    model[key] = value;
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
    }
}

} // namespace
