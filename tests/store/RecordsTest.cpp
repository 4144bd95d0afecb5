#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/RecordFile.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Little-endian int32 fields, then one text field of raw code-page bytes padded to width.
Bytes Record(std::initializer_list<int32_t> head, std::string text, size_t width,
             std::initializer_list<int32_t> tail = {}) {
    Bytes out;
    auto put = [&](int32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
        }
    };
    for (int32_t v : head) {
        put(v);
    }
    text.resize(width, ' ');
    out.insert(out.end(), text.begin(), text.end());
    for (int32_t v : tail) {
        put(v);
    }
    return out;
}
template <class T> Bytes SaveBytes(const T& record) {
    RecordFile file(T::RecordLength);
    record.Save(file);
    return file.Bytes();
}
template <class T> T LoadFrom(const Bytes& bytes) {
    RecordFile file(T::RecordLength);
    file.Assign(bytes);
    T record;
    record.Load(file);
    return record;
}
template <class T> T Named(int32_t id, const std::string& name) {
    T r;
    r.SetId(id);
    r.SetName(name);
    return r;
}

// The record saves as the golden bytes, and those bytes load into a record that saves
// them unchanged.
template <class T> void ExpectLayout(const T& record, const Bytes& golden) {
    EXPECT_EQ(SaveBytes(record), golden);
    EXPECT_EQ(SaveBytes(LoadFrom<T>(golden)), golden);
}

TEST(RecordsTest, Layouts) {
    Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 9, 31, 0});
    const ClsAppointment fresh;
    Clock::SetFixed(std::nullopt);
    const int32_t now = ClsDate::DayNumberFromCivil(2026, 12, 5) * 2048 + 571;
    ExpectLayout(fresh, Record({0, 0, 0, 0, now, now}, "", 12));
    ExpectLayout(ClsType(), Record({0}, "", 24, {255, 65535, 1, 0, 1}));
    ExpectLayout(ClsCustomer(), Record({0}, "", 24));

    ClsAppointment a(ClsAppointment::Blank{});
    a.SetId(17);
    a.SetCustomerId(7);
    a.SetResourceId(-4);
    a.SetTypeId(0x01020304);
    a.SetStartDtTm(92364 * 2048 + 540);
    a.SetEndDtTm(kMax);
    a.SetReference("MTG 001");
    ExpectLayout(a, Record({17, 7, -4, 0x01020304, 92364 * 2048 + 540, kMax}, "MTG 001", 12));
    auto t = Named<ClsType>(3, "Review");
    t.SetBackColor(255);
    t.SetForeColor(0x00FFFF00);
    t.SetMinTime(15);
    t.SetMaxTime(480);
    t.SetIncTime(30);
    ExpectLayout(t, Record({3}, "Review", 24, {255, 0x00FFFF00, 15, 480, 30}));
    ExpectLayout(Named<ClsResource>(-9, std::string(30, 'R')),
                 Record({-9}, std::string(24, 'R'), 24));
    // Windows-1252 bytes; a character outside the code page is stored as '?'.
    ExpectLayout(Named<ClsCustomer>(1, "Zoë €uro ☃"), Record({1}, "Zo\xEB \x80uro ?", 24));
    // Bytes the code page leaves undefined, and durations below one minute, load and
    // save as the file holds them.
    const Bytes odd = Record({1}, "\x81\x8D\x8F\x90\x9D\xFF", 24);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsCustomer>(odd)), odd);
    const Bytes raw = Record({3}, "", 24, {1, 2, 0, -1, -7});
    EXPECT_EQ(SaveBytes(LoadFrom<ClsType>(raw)), raw);
}

// Text is cut to its width in characters, padded, and trimmed on reading but for
// resource names.
TEST(RecordsTest, TextAssignment) {
    ClsAppointment a(ClsAppointment::Blank{});
    a.SetReference("ABCDEFGHIJKLM");
    EXPECT_EQ(a.Reference(), "ABCDEFGHIJKL");
    a.SetReference("  R 1  ");
    EXPECT_EQ(a.Reference(), "R 1");
    std::string e30;
    for (int i = 0; i < 30; ++i) {
        e30 += "é";
    }
    EXPECT_EQ(Named<ClsCustomer>(1, e30).Name(), e30.substr(0, 48));
    EXPECT_EQ(Named<ClsCustomer>(1, "  Ann B  ").Name(), "Ann B");
    EXPECT_EQ(ClsCustomer().Name(), "");
    EXPECT_EQ(Named<ClsCustomer>(1, "Zoë €uro ☃").Name(), "Zoë €uro ?");
    EXPECT_EQ(Named<ClsResource>(1, "  x").Name(), "  x" + std::string(21, ' '));
    EXPECT_EQ(Named<ClsType>(1, " Meeting  ").Name(), "Meeting");
    EXPECT_EQ(Named<ClsType>(1, std::string(25, 't')).Name(), std::string(24, 't'));
}

} // namespace
