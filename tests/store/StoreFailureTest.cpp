#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "store/RecordFile.h"
#include "store/SampleData.h"
#include "support/LogFile.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

template <class T> Bytes Dump(const Collection<T>& c) {
    RecordFile file(T::RecordLength);
    for (const auto& r : c) {
        r->Save(file);
    }
    return file.Bytes();
}
Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void Write(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class StoreFailureTest : public StoreFixture {
protected:
    void TearDown() override {
        StoreFixture::TearDown();
        // A save, failed or not, leaves no temporary file behind.
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
        }
    }
    std::string Data(const std::string& name) const { return dir.file("Data/" + name); }
    std::string Log() const { return ReadLog(); }
    // A first run with its sample data, saved: ids 1 to 20.
    void Seed() {
        ClsGlobal store(dir.path());
        CreateSampleData(store, ClsDate());
        ASSERT_TRUE(store.Save().Ok());
    }
};

TEST_F(StoreFailureTest, ProgramFolderBelowARegularFile) {
    Write(dir.file("plain"), {1, 2, 3});
    ClsGlobal store(dir.file("plain/program"));
    EXPECT_TRUE(store.FirstRun());
    int32_t id = 0;
    EXPECT_EQ(store.CustomerSave(id, "kept in memory"), 1);
    EXPECT_EQ(store.Save().failedFiles,
              (Names{"Global.bin", "Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"}));
    for (const char* proc :
         {"LoadResources", "LoadCustomers", "LoadTypes", "LoadAppointments", "Save",
          "SaveResources", "SaveCustomers", "SaveTypes", "SaveAppointments"}) {
        EXPECT_NE(Log().find(std::string("ClsGlobal            ") + proc + " "), std::string::npos)
            << proc;
    }
    EXPECT_EQ(Read(dir.file("plain")), (Bytes{1, 2, 3}));
}

TEST_F(StoreFailureTest, GlobalBinReplacedByAFolder) {
    Seed();
    fs::remove(Data("Global.bin"));
    fs::create_directory(Data("Global.bin"));
    ClsGlobal store(dir.path());
    EXPECT_FALSE(store.FirstRun());
    EXPECT_NE(Log().find(" Load "), std::string::npos);
    int32_t id = 0;
    EXPECT_EQ(store.CustomerSave(id, "New"), 21); // the counter follows the loaded ids
    EXPECT_EQ(store.Save().failedFiles, Names{"Global.bin"});
    EXPECT_TRUE(fs::is_directory(Data("Global.bin")));
    EXPECT_EQ(Read(Data("Customer.bin")), Dump(store.Customers()));
}

// Global.bin of n bytes: what the record part holds is taken, the rest of the record keeps
// its defaults, and bytes past the record are written back as they were.
TEST_F(StoreFailureTest, GlobalBinLengths) {
    {
        ClsGlobal store(dir.path());
        for (int i = 0; i < 42; ++i) {
            store.NextId();
        }
        store.SetDateFormat(1);
        store.SetPrintOrientation(3);
        store.SetColor(0, 0x111111);
        store.SetOption(1, false);
        ASSERT_TRUE(store.Save().Ok());
    }
    Bytes full = Read(Data("Global.bin"));
    full.insert(full.end(), {'t', 'a', 'i', 'l', 0, 0xFF});
    // n, next id, DateFormat, PrintOrientation, Color(0), Option(1)
    const int32_t rows[][6] = {{0, 1, 0, 0, 0xFFFFFF, 1},    {20, 43, 1, 0, 0xFFFFFF, 1},
                               {22, 43, 1, 3, 0xFFFFFF, 1},  {32, 43, 1, 3, 0x111111, 1},
                               {437, 43, 1, 3, 0x111111, 0}, {710, 43, 1, 3, 0x111111, 0},
                               {716, 43, 1, 3, 0x111111, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r[0]);
        const auto n = static_cast<size_t>(r[0]);
        Write(Data("Global.bin"), Bytes(full.begin(), full.begin() + r[0]));
        ClsGlobal store(dir.path());
        EXPECT_FALSE(store.FirstRun());
        EXPECT_EQ(std::make_tuple(store.DateFormat(), store.PrintOrientation(), store.Color(0),
                                  store.Option(1)),
                  std::make_tuple(r[2], static_cast<int16_t>(r[3]), r[4], r[5] != 0));
        EXPECT_EQ(store.NextId(), r[1]);
        ASSERT_TRUE(store.Save().Ok());
        const Bytes saved = Read(Data("Global.bin"));
        ASSERT_EQ(saved.size(), std::max<size_t>(n, 710));
        EXPECT_EQ(saved[0], r[1]);
        EXPECT_EQ(Bytes(saved.begin() + 710, saved.end()),
                  Bytes(full.begin() + 710, full.begin() + std::max<size_t>(n, 710)));
    }
    EXPECT_EQ(Log(), "");
}

// Global.bin lost while the record files remain: a first run whose sample data still
// gets fresh ids.
TEST_F(StoreFailureTest, LostGlobalBinWithRecordsPresent) {
    Seed();
    fs::remove(Data("Global.bin"));
    ClsGlobal store(dir.path());
    ASSERT_TRUE(store.FirstRun());
    CreateSampleData(store, ClsDate());
    EXPECT_EQ(store.Types().Count() + store.Resources().Count() + store.Customers().Count(), 18u);
    EXPECT_EQ(store.Appointments().Count(), 22u);
    EXPECT_EQ(Log(), "");
}

TEST_F(StoreFailureTest, CounterExhausted) {
    ClsGlobal store(dir.path());
    int32_t top = std::numeric_limits<int32_t>::max(), id = 0;
    EXPECT_EQ(store.CustomerSave(top, "Top"), top);
    EXPECT_EQ(store.CustomerSave(id, "No room"), 0);
    EXPECT_EQ(store.AppointmentSave(id, 0, 1, 0, 0, 10, "No room"), 0);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(store.Customers().Count() + store.Appointments().Count(), 1u);
    // Logged once each, by the counter.
    EXPECT_EQ(Count(Log(), " NextId "), 2u);
    EXPECT_EQ(Count(Log(), " 00000006 Overflow\r\n"), 2u);
}

struct FileCase {
    const char* file;
    const char* loadProc;
    const char* saveProc;
    size_t length;
    Bytes (*dump)(const ClsGlobal&);
};
const FileCase kFileCases[] = {
    {"Resource.bin", "LoadResources", "SaveResources", 28,
     +[](const ClsGlobal& s) { return Dump(s.Resources()); }},
    {"Customer.bin", "LoadCustomers", "SaveCustomers", 28,
     +[](const ClsGlobal& s) { return Dump(s.Customers()); }},
    {"Type.bin", "LoadTypes", "SaveTypes", 48, +[](const ClsGlobal& s) { return Dump(s.Types()); }},
    {"Appointment.bin", "LoadAppointments", "SaveAppointments", 36,
     +[](const ClsGlobal& s) { return Dump(s.Appointments()); }}};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.file;
}

class RecordFileFailureTest : public StoreFailureTest,
                              public ::testing::WithParamInterface<FileCase> {
protected:
    std::string Path() const { return Data(GetParam().file); }
};

// A file that did not load clean keeps its whole, first-seen records and goes to .bak
// before it is rewritten; a repeated id is logged, loading goes on past it. A file that
// could not be read at all is never replaced.
TEST_P(RecordFileFailureTest, FailurePaths) {
    Seed();
    const Bytes clean = Read(Path());
    const size_t len = GetParam().length;
    auto insertAfterTwo = [&](Bytes extra) {
        Bytes b = clean;
        b.insert(b.begin() + 2 * static_cast<std::ptrdiff_t>(len), extra.begin(), extra.end());
        return b;
    };
    Bytes repeat(clean.begin(), clean.begin() + len),
        zero(clean.begin() + len, clean.begin() + 2 * len);
    repeat.back() ^= 0x20;
    std::fill(zero.begin(), zero.begin() + 4, 0);
    Bytes trailing1 = clean, trailingMost = clean;
    trailing1.push_back(0x5A);
    trailingMost.resize(clean.size() + len - 1, 0x5A);
    const std::pair<const char*, Bytes> rows[] = {{"one trailing byte", trailing1},
                                                  {"all but one byte of a record", trailingMost},
                                                  {"repeated id", insertAfterTwo(repeat)},
                                                  {"id 0", insertAfterTwo(zero)}};
    for (const auto& [label, damaged] : rows) {
        SCOPED_TRACE(label);
        Write(Path(), damaged);
        fs::remove(Path() + ".bak");
        ClsGlobal store(dir.path());
        EXPECT_EQ(GetParam().dump(store), clean);
        ASSERT_TRUE(store.Save().Ok());
        EXPECT_EQ(Read(Path() + ".bak"), damaged);
        EXPECT_EQ(Read(Path()), clean);
    }
    for (const FileCase& other : kFileCases) {
        EXPECT_EQ(fs::exists(Data(other.file) + ".bak"), other.file == std::string(GetParam().file))
            << other.file;
    }
    // An earlier backup is kept; the next one is numbered.
    const Bytes earlier = {'o', 'l', 'd'};
    Write(Path(), trailing1);
    Write(Path() + ".bak", earlier);
    {
        ClsGlobal store(dir.path());
        EXPECT_TRUE(store.Save().Ok());
        EXPECT_EQ(Read(Path() + ".bak"), earlier);
        EXPECT_EQ(Read(Path() + ".bak.2"), trailing1);
    }
    // A folder in place of the file: nothing loads from it, the others load and save.
    fs::remove(Path());
    fs::create_directories(Path() + "/inside");
    ClsGlobal store(dir.path());
    EXPECT_TRUE(GetParam().dump(store).empty());
    int32_t id = 0;
    EXPECT_EQ(store.ResourceSave(id, "Extra"), 21);
    EXPECT_EQ(store.Save().failedFiles, Names{GetParam().file});
    EXPECT_TRUE(fs::is_directory(Path() + "/inside"));
    for (const FileCase& other : kFileCases) {
        if (other.file != std::string(GetParam().file)) {
            EXPECT_EQ(Read(Data(other.file)), other.dump(store)) << other.file;
        }
    }
    // Logged: the repeated id (only it), the failed load and the refused save.
    EXPECT_EQ(Count(Log(), " 000001C9 "), 1u);
    EXPECT_EQ(Count(Log(), std::string(" ") + GetParam().loadProc + " "), 2u);
    EXPECT_EQ(Count(Log(), std::string(" ") + GetParam().saveProc + " "), 1u);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordFileFailureTest, ::testing::ValuesIn(kFileCases),
                         [](const auto& row) { return std::string(row.param.loadProc).substr(4); });

} // namespace
