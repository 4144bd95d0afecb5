// What the store does when its files or the disk let it down: failed writes keep the old
// bytes and say so, unreadable files are left alone, damaged ones are kept and repaired.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "store/RecordFile.h"
#include "store/SampleData.h"
#include "support/FaultyFileSystem.h"
#include "support/LogFile.h"
#include "support/StoreFixture.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;
using Op = FaultyFileSystem::Op;

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
            EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
        }
    }
    ProgramFolders Folders() const { return {dir.path()}; }
    std::string Data(const std::string& name) const { return dir.file("Data/" + name); }
    // A first run with its sample data, saved: ids 1 to 20.
    void Seed() {
        ClsGlobal store(Folders());
        CreateSampleData(store, ClsDate());
        ASSERT_TRUE(store.Save().Ok());
        ASSERT_FALSE(store.HasPendingChanges());
    }
};

// --- writing --------------------------------------------------------------------------

struct WriteFault {
    const char* name;
    Op op;
    const char* pathPart;
    int nth;
    int error;
    int32_t number;        // the classic number logged
    bool customerReplaced; // Customer.bin, renamed first, holds the new bytes
    bool globalReplaced;   // Global.bin, renamed last
};
const WriteFault kWriteFaults[] = {
    {"TemporaryNotCreated", Op::Open, ".tmp-", 1, ENOSPC, 61, false, false},
    {"DiskFullWritingTheSecondCopy", Op::Write, "Global.bin.tmp-", 1, ENOSPC, 61, false, false},
    {"ModeNotKept", Op::Fchmod, "Customer", 1, EPERM, 70, false, false},
    {"FsyncFails", Op::Fsync, "Customer", 1, EIO, 57, false, false},
    {"CloseFails", Op::Close, "Global", 1, EIO, 57, false, false},
    {"FirstRenameFails", Op::Rename, "Customer.bin", 1, EACCES, 70, false, false},
    {"LastRenameFails", Op::Rename, "Global.bin", 1, EIO, 57, true, false},
    {"FolderSyncFails", Op::SyncFolder, "Data", 1, EIO, 57, true, true},
};

class WriteFaults : public StoreFailureTest, public ::testing::WithParamInterface<WriteFault> {};

// A new customer touches Customer.bin and Global.bin (the counter). Copies are written and synced
// before any rename, so a failure before the renames replaces nothing, and a failed rename
// stops the run. What was not replaced keeps its bytes, is logged and reported, and is
// written by the next save; a folder that will not sync is logged only.
TEST_P(WriteFaults, KeepTheOldBytesLogAndReport) {
    Seed();
    const Bytes oldCustomers = Read(Data("Customer.bin"));
    const Bytes oldGlobal = Read(Data("Global.bin"));
    FaultyFileSystem files;
    ClsGlobal store(Folders(), files);
    int32_t fresh = 0;
    store.CustomerSave(fresh, "New customer");
    const WriteFault& f = GetParam();
    files.faults.push_back({f.op, f.pathPart, f.nth, f.error});

    SaveResult result = store.Save();

    Names expected;
    if (!f.customerReplaced) {
        expected.push_back("Customer.bin");
    }
    if (!f.globalReplaced) {
        expected.push_back("Global.bin");
    }
    EXPECT_EQ(result.failedFiles, expected);
    for (const Error& e : result.errors) {
        EXPECT_EQ(e.number, f.number);
    }
    EXPECT_EQ(Read(Data("Customer.bin")) == oldCustomers, !f.customerReplaced);
    EXPECT_EQ(Read(Data("Global.bin")) == oldGlobal, !f.globalReplaced);
    char hex[16];
    std::snprintf(hex, sizeof hex, " %08X ", static_cast<unsigned>(f.number));
    EXPECT_EQ(Count(ReadLog(), hex), f.op == Op::SyncFolder ? 1u : expected.size()) << ReadLog();
    if (f.op == Op::SyncFolder) {
        EXPECT_NE(ReadLog().find("FileIo" + std::string(15, ' ') + "WriteBatch"),
                  std::string::npos);
    }

    EXPECT_EQ(store.HasPendingChanges(), !expected.empty());
    EXPECT_TRUE(store.Save().Ok()); // the fault is spent
    EXPECT_NE(Read(Data("Customer.bin")), oldCustomers);
    ClsGlobal reloaded(Folders());
    EXPECT_EQ(reloaded.CustomerLoad(21)->Name(), "New customer");
    EXPECT_EQ(reloaded.NextId(), 22);
    EXPECT_TRUE(reloaded.LoadProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, WriteFaults, ::testing::ValuesIn(kWriteFaults),
                         [](const auto& row) { return std::string(row.param.name); });

// Only what changed is written: renaming a resource rewrites Resource.bin and Global.bin
// (the counter moved), a setting only Global.bin, and a second save nothing.
TEST_F(StoreFailureTest, OnlyChangedFilesAreRewritten) {
    Seed();
    FaultyFileSystem files;
    ClsGlobal store(Folders(), files);
    int32_t id = 0;
    store.ResourceSave(id, "Bay 4");
    ASSERT_TRUE(store.Save().Ok());
    store.SetOption(1, false);
    store.SetOption(1, false);
    ASSERT_TRUE(store.Save().Ok());
    ASSERT_TRUE(store.Save().Ok());
    EXPECT_EQ(files.Count(Op::Rename, "Resource.bin"), 1);
    EXPECT_EQ(files.Count(Op::Rename, "Global.bin"), 2);
    for (const char* untouched : {"Customer.bin", "Type.bin", "Appointment.bin"}) {
        EXPECT_EQ(files.Count(Op::Open, untouched), 1) << untouched; // its load only
    }
}

TEST_F(StoreFailureTest, ARewriteKeepsTheFilesModeAndANewFileTakesTheUmask) {
    Seed();
    ::chmod(Data("Customer.bin").c_str(), 0640);
    ::chmod(Data("Global.bin").c_str(), 0604);
    mode_t before = ::umask(027);
    {
        ClsGlobal store(Folders());
        int32_t id = 0;
        store.CustomerSave(id, "New");
        fs::remove(Data("Type.bin"));
        store.TypeSave(id, "New type", 1, 2, 3, 4, 5);
        ASSERT_TRUE(store.Save().Ok());
    }
    ::umask(before);
    struct stat st {};
    ASSERT_EQ(::stat(Data("Customer.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(Data("Global.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    ASSERT_EQ(::stat(Data("Type.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The program folder lies below a regular file: nothing can be created, every write fails
// and says which files, and memory still works.
TEST_F(StoreFailureTest, ProgramFolderBelowARegularFile) {
    Write(dir.file("plain"), {1, 2, 3});
    ClsGlobal store(ProgramFolders{dir.file("plain/program")});
    EXPECT_TRUE(store.FirstRun());
    int32_t id = 0;
    EXPECT_EQ(store.CustomerSave(id, "kept in memory"), 1);
    EXPECT_EQ(store.Save().failedFiles, (Names{"Customer.bin", "Global.bin"}));
    EXPECT_EQ(Read(dir.file("plain")), (Bytes{1, 2, 3}));
    EXPECT_EQ(store.CustomerLoad(1)->Name(), "kept in memory");
}

// --- reading ----------------------------------------------------------------------------

struct Unreadable {
    const char* name;
    void (*spoil)(const std::string& path, FaultyFileSystem& files);
    int32_t number;
};
const Unreadable kUnreadable[] = {
    {"FolderInItsPlace",
     [](const std::string& path, FaultyFileSystem&) {
         fs::remove(path);
         fs::create_directories(path + "/inside");
     },
     75},
    {"Pipe",
     [](const std::string& path, FaultyFileSystem&) {
         fs::remove(path);
         ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
     },
     75},
    {"LinkToADevice",
     [](const std::string& path, FaultyFileSystem&) {
         fs::remove(path);
         fs::create_symlink("/dev/zero", path);
     },
     75},
    {"NoPermission",
     [](const std::string& path, FaultyFileSystem& files) {
         files.faults.push_back({Op::Open, path, 0, EACCES});
     },
     70},
};

struct UnreadableCase {
    const char* file;
    Unreadable how;
};
class UnreadableFiles : public StoreFailureTest,
                        public ::testing::WithParamInterface<UnreadableCase> {};

// A file that cannot be read is named with its reason, left exactly as it is, and never
// offered for writing; the other files load and save as usual.
TEST_P(UnreadableFiles, AreReportedAndLeftAlone) {
    Seed();
    const std::string path = Data(GetParam().file);
    FaultyFileSystem files;
    GetParam().how.spoil(path, files);
    ClsGlobal store(Folders(), files);

    ASSERT_EQ(store.LoadProblems().size(), 1u);
    const FileProblem& problem = store.LoadProblems().front();
    EXPECT_EQ(problem.kind, FileProblem::Kind::Unreadable);
    EXPECT_EQ(problem.file, GetParam().file);
    EXPECT_EQ(problem.error.number, GetParam().how.number);
    EXPECT_FALSE(store.FirstRun());

    int32_t id = 0;
    store.CustomerSave(id, "C");
    store.ResourceSave(id = 0, "R");
    store.TypeSave(id = 0, "T", 1, 2, 3, 4, 5);
    store.AppointmentSave(id = 0, 0, 1, 0, 10, 20, "A");
    store.SetOption(1, false);
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_FALSE(store.HasPendingChanges());
    EXPECT_EQ(files.Count(Op::Rename, GetParam().file), 0);
    EXPECT_EQ(files.Count(Op::Rename, ".bin"), 4);
}

std::vector<UnreadableCase> UnreadableCases() {
    std::vector<UnreadableCase> cases;
    for (const char* file :
         {"Global.bin", "Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"}) {
        for (const Unreadable& how : kUnreadable) {
            cases.push_back({file, how});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, UnreadableFiles, ::testing::ValuesIn(UnreadableCases()),
                         [](const auto& row) {
                             std::string file = row.param.file;
                             return file.substr(0, file.find('.')) + row.param.how.name;
                         });

struct Damage {
    const char* name;
    const char* file;
    // Damages the clean bytes of a file whose records are length bytes long.
    Bytes (*damage)(Bytes clean, size_t length);
    const char* said; // part of what the problem and the log line say
    const char* number;
};
Bytes TrailingByte(Bytes b, size_t) {
    b.push_back(0x5A);
    return b;
}
Bytes AlmostARecord(Bytes b, size_t length) {
    b.resize(b.size() + length - 1, 0x5A);
    return b;
}
Bytes IdZero(Bytes b, size_t length) {
    Bytes zero(b.begin() + static_cast<std::ptrdiff_t>(length),
               b.begin() + static_cast<std::ptrdiff_t>(2 * length));
    std::fill(zero.begin(), zero.begin() + 4, 0);
    b.insert(b.begin() + static_cast<std::ptrdiff_t>(2 * length), zero.begin(), zero.end());
    return b;
}
Bytes RepeatedId(Bytes b, size_t length) {
    Bytes repeat(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(length));
    repeat.back() ^= 0x20;
    b.insert(b.begin() + static_cast<std::ptrdiff_t>(2 * length), repeat.begin(), repeat.end());
    return b;
}
const Damage kDamage[] = {
    {"ResourceTrailingByte", "Resource.bin", TrailingByte, "ended in 1 byte short", "0000003B"},
    {"CustomerAlmostARecord", "Customer.bin", AlmostARecord, "ended in 27 bytes short", "0000003B"},
    {"TypeIdZero", "Type.bin", IdZero, "held 1 record with id 0", "00000005"},
    {"AppointmentRepeatedId", "Appointment.bin", RepeatedId, "held 1 record whose id came earlier",
     "000001C9"},
    {"AppointmentIdZero", "Appointment.bin", IdZero, "held 1 record with id 0", "00000005"},
};

class DamagedFiles : public StoreFailureTest, public ::testing::WithParamInterface<Damage> {};

// A damaged file is copied to .bak the moment it is read, the repair is logged with the
// file, what was wrong and where the copy is, and the clean file is written by the next
// save. One load makes one copy, however often the save is tried; an earlier copy is kept.
TEST_P(DamagedFiles, AreKeptLoggedAndRewrittenClean) {
    Seed();
    const std::string path = Data(GetParam().file);
    const Bytes clean = Read(path);
    const size_t length = GetParam().file == std::string("Appointment.bin") ? 36
                          : GetParam().file == std::string("Type.bin")      ? 48
                                                                            : 28;
    const Bytes damaged = GetParam().damage(clean, length);
    Write(path, damaged);
    Write(path + ".bak", {'o', 'l', 'd'});
    {
        FaultyFileSystem files;
        ClsGlobal store(Folders(), files);
        files.faults.push_back({Op::Rename, path, 0, EIO});
        ASSERT_EQ(store.LoadProblems().size(), 1u);
        const FileProblem& problem = store.LoadProblems().front();
        EXPECT_EQ(problem.kind, FileProblem::Kind::Repaired);
        EXPECT_NE(problem.what.find(GetParam().said), std::string::npos) << problem.what;
        EXPECT_EQ(problem.backup, path + ".bak.2");
        EXPECT_EQ(Read(path + ".bak.2"), damaged); // kept before anything else happens
        EXPECT_EQ(Read(path + ".bak"), Bytes({'o', 'l', 'd'}));
        const std::string log = ReadLog();
        EXPECT_EQ(Count(log, "\r\n"), 1u) << log;
        EXPECT_NE(log.find(std::string(GetParam().number) + " " + GetParam().file),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("kept as " + path + ".bak.2"), std::string::npos) << log;
        EXPECT_TRUE(store.HasPendingChanges());
        EXPECT_FALSE(store.Save().Ok());
        EXPECT_FALSE(store.Save().Ok());
        EXPECT_FALSE(fs::exists(path + ".bak.3"));
        EXPECT_EQ(Read(path), damaged);
    }
    ClsGlobal store(Folders());
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_EQ(Read(path), clean);
    EXPECT_TRUE(fs::exists(path + ".bak.3")); // a second faulty load: a second copy
    ClsGlobal again(Folders());
    EXPECT_TRUE(again.LoadProblems().empty());
    EXPECT_FALSE(again.HasPendingChanges());
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedFiles, ::testing::ValuesIn(kDamage),
                         [](const auto& row) { return std::string(row.param.name); });

// Global.bin of n bytes: what the record part holds is taken, the rest of the record keeps
// its defaults, and bytes past the record are written back as they were. A short file is a
// repair: kept, said, and rewritten whole.
TEST_F(StoreFailureTest, GlobalBinLengths) {
    {
        ClsGlobal store(Folders());
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
        fs::remove(Data("Global.bin.bak"));
        ClsGlobal store(Folders());
        EXPECT_FALSE(store.FirstRun());
        EXPECT_EQ(store.LoadProblems().size(), n < 710 ? 1u : 0u);
        EXPECT_EQ(fs::exists(Data("Global.bin.bak")), n < 710);
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
}

// --- ids and the first run -----------------------------------------------------------

struct IdCase {
    const char* name;
    void (*spoil)(StoreFailureTest& test, const std::string& data);
    std::vector<int32_t> next; // the ids NextId hands out next
};
void PutI32(Bytes& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
}
const IdCase kIdCases[] = {
    {"NegativeCounter",
     [](StoreFailureTest&, const std::string& data) {
         Bytes global = Read(data + "Global.bin");
         PutI32(global, 0, -5);
         Write(data + "Global.bin", global);
     },
     {21, 22}},
    {"CounterAtItsLimit",
     [](StoreFailureTest&, const std::string& data) {
         Bytes global = Read(data + "Global.bin");
         PutI32(global, 0, std::numeric_limits<int32_t>::max());
         Write(data + "Global.bin", global);
     },
     {21, 22}},
    {"StrayRecordWithTheLastId",
     [](StoreFailureTest&, const std::string& data) {
         Bytes customers = Read(data + "Customer.bin");
         Bytes stray(customers.begin(), customers.begin() + 28);
         PutI32(stray, 0, std::numeric_limits<int32_t>::max());
         customers.insert(customers.end(), stray.begin(), stray.end());
         Write(data + "Customer.bin", customers);
     },
     {21, 22}},
};

class Ids : public StoreFailureTest, public ::testing::WithParamInterface<IdCase> {};

// Whatever the counter or the records say, ids are never below 1 and never taken; when
// the counter is spent, the lowest free ids are handed out.
TEST_P(Ids, AreNeverBelowOneNorTaken) {
    Seed();
    GetParam().spoil(*this, Data(""));
    ClsGlobal store(Folders());
    for (int32_t expected : GetParam().next) {
        EXPECT_EQ(store.NextId(), expected);
    }
    int32_t customer = 0;
    int32_t appointment = 0;
    EXPECT_GT(store.CustomerSave(customer, "After"), 22);
    EXPECT_GT(store.AppointmentSave(appointment, 0, 4, 0, 0, 10, "After"), customer);
    EXPECT_EQ(ReadLog().find(" NextId "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, Ids, ::testing::ValuesIn(kIdCases),
                         [](const auto& row) { return std::string(row.param.name); });

// A first run is a new user: Global.bin missing and no record anywhere. Without Global.bin
// but with records the settings start over, the user is told, and the counter follows
// the records.
TEST_F(StoreFailureTest, OnlyANewUserGetsAFirstRun) {
    {
        ClsGlobal empty(Folders());
        EXPECT_TRUE(empty.FirstRun());
        EXPECT_TRUE(empty.LoadProblems().empty());
    }
    fs::remove_all(Data(""));
    Seed();
    fs::remove(Data("Global.bin"));
    ClsGlobal store(Folders());
    EXPECT_FALSE(store.FirstRun());
    ASSERT_EQ(store.LoadProblems().size(), 1u);
    EXPECT_EQ(store.LoadProblems()[0].file, "Global.bin");
    EXPECT_EQ(store.NextId(), 21);
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_EQ(Read(Data("Global.bin")).size(), 710u);
}

TEST_F(StoreFailureTest, OurStaleTemporariesAreSweptAtStartAndNothingElse) {
    Seed();
    const char* ours[] = {"Appointment.bin.tmp-AbC123", "Global.bin.bak.2.tmp-zzzzzz",
                          "Type.bin.bak.tmp-000000"};
    const char* theirs[] = {"Appointment.bin.tmp-AbC12", "notes.tmp-abcdef",
                            "Type.bin.old.tmp-abcdef", "Customer.bin.tmp-abc!ef"};
    for (const char* name : ours) {
        Write(Data(name), {1});
    }
    for (const char* name : theirs) {
        Write(Data(name), {1});
    }
    ClsGlobal store(Folders());
    for (const char* name : ours) {
        EXPECT_FALSE(fs::exists(Data(name))) << name;
    }
    for (const char* name : theirs) {
        EXPECT_TRUE(fs::exists(Data(name))) << name;
        fs::remove(Data(name)); // the fixture checks for leftovers of ours
    }
}

TEST_F(StoreFailureTest, AReadOnlyStoreTouchesNothing) {
    Seed();
    Write(Data("Customer.bin"), TrailingByte(Read(Data("Customer.bin")), 28));
    fs::remove(Data("Type.bin"));
    Write(Data("Global.bin.tmp-AbC123"), {1});
    FaultyFileSystem files;
    ClsGlobal store(Folders(), files, StoreMode::ReadOnly);
    EXPECT_EQ(store.LoadProblems().size(), 1u);
    int32_t id = 0;
    store.CustomerSave(id, "Not written");
    EXPECT_FALSE(store.HasPendingChanges());
    EXPECT_TRUE(store.Save().Ok());
    for (Op op : {Op::Write, Op::Rename, Op::Unlink, Op::Mkdir}) {
        EXPECT_EQ(files.Count(op), 0);
    }
    EXPECT_EQ(files.Count(Op::Open, ".tmp-") + files.Count(Op::Open, ".bak"), 0);
    EXPECT_FALSE(fs::exists(Data("Type.bin")));
    fs::remove(Data("Global.bin.tmp-AbC123"));
}

} // namespace
