#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsLookup.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/RecordFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

TEST(RecordsTest, Defaults) {
    Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 9, 31, 0});
    ClsAppointment a;
    Clock::SetFixed(std::nullopt);
    const int32_t now = ClsDate::DayNumberFromCivil(2026, 12, 5) * 2048 + 571;
    EXPECT_EQ(SaveBytes(a), Record({0, 0, 0, 0, now, now}, "", 12));
    EXPECT_EQ(SaveBytes(ClsType()), Record({0}, "", 24, {255, 65535, 1, 0, 1}));
    EXPECT_EQ(SaveBytes(ClsCustomer()), Record({0}, "", 24));
    EXPECT_EQ(ClsType().Name(), "");
    EXPECT_EQ(ClsCustomer().Name(), "");
    EXPECT_EQ(ClsResource().Name(), std::string(24, ' '));
    EXPECT_EQ(ClsLookup().Id(), 0);
    EXPECT_EQ(ClsLookup().Text(), "");
}

// Assigns a text to one field ('A'ppointment reference, 'C'ustomer, 'R'esource or 'T'ype
// name) and reads it back.
std::string Assign(char field, const std::string& text) {
    if (field == 'C') {
        return Named<ClsCustomer>(1, text).Name();
    }
    if (field == 'R') {
        return Named<ClsResource>(1, text).Name();
    }
    if (field == 'T') {
        return Named<ClsType>(1, text).Name();
    }
    ClsAppointment a(ClsAppointment::Blank{});
    a.SetReference(text);
    return a.Reference();
}

// Text is cut to its width in characters, padded, trimmed on reading (but for resource
// names) and held in Windows-1252, so characters outside it read back as '?'.
TEST(RecordsTest, TextAssignment) {
    std::string e30;
    for (int i = 0; i < 30; ++i) {
        e30 += "é";
    }
    struct Row {
        char field;
        std::string in, out;
    };
    const Row rows[] = {{'A', "ABCDEFGHIJKLM", "ABCDEFGHIJKL"},
                        {'A', "  R 1  ", "R 1"},
                        {'A', "日本x", "??x"},
                        {'C', std::string(24, 'c') + "DEFGHI", std::string(24, 'c')},
                        {'C', "  Ann B  ", "Ann B"},
                        {'C', e30, e30.substr(0, 48)},
                        {'C', "Zoë €uro ☃", "Zoë €uro ?"},
                        {'R', "Room A", "Room A" + std::string(18, ' ')},
                        {'R', "  x", "  x" + std::string(21, ' ')},
                        {'T', " Meeting  ", "Meeting"},
                        {'T', std::string(25, 't'), std::string(24, 't')}};
    for (const Row& r : rows) {
        EXPECT_EQ(Assign(r.field, r.in), r.out) << r.field << " " << r.in;
    }
}

TEST(RecordsTest, DurationRules) {
    const int32_t lo = std::numeric_limits<int32_t>::min();
    const int32_t rows[][4] = {
        {0, 1, 0, 1}, {-5, 1, -5, 1}, {1, 1, 1, 1}, {45, 45, 45, 45}, {lo, 1, lo, 1}};
    for (const auto& r : rows) {
        ClsType t;
        t.SetMinTime(r[0]);
        t.SetMaxTime(r[0]);
        t.SetIncTime(r[0]);
        EXPECT_EQ(t.MinTime(), r[1]) << r[0];
        EXPECT_EQ(t.MaxTime(), r[2]) << r[0];
        EXPECT_EQ(t.IncTime(), r[3]) << r[0];
    }
}

// Each layout saved, then loaded into a fresh record and saved again unchanged.
TEST(RecordsTest, Layouts) {
    ClsAppointment a(ClsAppointment::Blank{});
    a.SetId(17);
    a.SetCustomerId(7);
    a.SetResourceId(-4);
    a.SetTypeId(0x01020304);
    a.SetStartDtTm(92364 * 2048 + 540);
    a.SetEndDtTm(std::numeric_limits<int32_t>::max());
    a.SetReference("MTG 001");
    const Bytes appointment =
        Record({17, 7, -4, 0x01020304, 92364 * 2048 + 540, 2147483647}, "MTG 001", 12);
    ASSERT_EQ(appointment.size(), 36u);
    EXPECT_EQ(SaveBytes(a), appointment);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsAppointment>(appointment)), appointment);

    auto t = Named<ClsType>(3, "Review");
    t.SetBackColor(255);
    t.SetForeColor(0x00FFFF00);
    t.SetMinTime(15);
    t.SetMaxTime(480);
    t.SetIncTime(30);
    const Bytes type = Record({3}, "Review", 24, {255, 0x00FFFF00, 15, 480, 30});
    ASSERT_EQ(type.size(), 48u);
    EXPECT_EQ(SaveBytes(t), type);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsType>(type)), type);
    // The file holds what was stored: durations below one load as they are.
    const Bytes raw = Record({3}, "", 24, {1, 2, 0, -1, -7});
    EXPECT_EQ(LoadFrom<ClsType>(raw).MinTime(), 0);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsType>(raw)), raw);

    const Bytes customer = Record({7}, "Ann", 24);
    ASSERT_EQ(customer.size(), 28u);
    EXPECT_EQ(SaveBytes(Named<ClsCustomer>(7, "Ann")), customer);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsCustomer>(customer)), customer);
    const Bytes resource = Record({-9}, std::string(24, 'R'), 24);
    EXPECT_EQ(SaveBytes(Named<ClsResource>(-9, std::string(30, 'R'))), resource);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsResource>(resource)), resource);
}

TEST(RecordsTest, CodePageBytes) {
    const Bytes golden = Record({1}, "Zo\xEB \x80uro ?", 24);
    EXPECT_EQ(SaveBytes(Named<ClsCustomer>(1, "Zoë €uro ☃")), golden);
    EXPECT_EQ(LoadFrom<ClsCustomer>(golden).Name(), "Zoë €uro ?");
    // Bytes the code page leaves undefined survive a load and a save.
    const Bytes odd = Record({1}, "\x81\x8D\x8F\x90\x9D\xFF", 24);
    EXPECT_EQ(SaveBytes(LoadFrom<ClsCustomer>(odd)), odd);
}

// The read past the last whole record leaves Id 0 and sets end-of-file.
template <class T> void CheckLoadAtEnd(size_t records, size_t trailing) {
    RecordFile out(T::RecordLength);
    for (size_t i = 1; i <= records; ++i) {
        T r;
        r.SetId(static_cast<int32_t>(i));
        r.Save(out);
    }
    Bytes bytes = out.Bytes();
    bytes.resize(bytes.size() + trailing, 0x55);
    RecordFile in(T::RecordLength);
    in.Assign(bytes);
    for (size_t i = 1; i <= records + 1; ++i) {
        T r;
        r.Load(in);
        EXPECT_EQ(r.Id(), i <= records ? static_cast<int32_t>(i) : 0);
        EXPECT_EQ(in.Eof(), i > records) << T::RecordLength << ": " << records << "+" << trailing;
    }
}

TEST(RecordsTest, LoadAtEndOfFile) {
    for (auto [records, trailing] : {std::pair<size_t, size_t>{0, 0}, {2, 0}, {1, 5}, {3, 27}}) {
        CheckLoadAtEnd<ClsAppointment>(records, trailing);
        CheckLoadAtEnd<ClsCustomer>(records, trailing);
        CheckLoadAtEnd<ClsResource>(records, trailing);
        CheckLoadAtEnd<ClsType>(records, trailing);
    }
}

} // namespace
