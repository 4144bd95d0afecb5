// What the store does when its files or the disk let it down: failed writes keep the old
// bytes and say so, unreadable files are left alone, damaged ones are kept and repaired.
#include <sys/stat.h>

#include <limits>
#include <tuple>

#include "store/SampleData.h"
#include "store/StoreTestFiles.h"

namespace {

using Names = std::vector<std::string>;
using Op = FaultyFileSystem::Op;

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class StoreFailureTest : public StoreTest {
protected:
    void TearDown() override {
        StoreTest::TearDown();
        // A save, failed or not, leaves no temporary file behind.
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
        }
    }
    // A first run with its sample data, saved: ids 1 to 20.
    void Seed() {
        ClsGlobal store(Folders());
        CreateSampleData(store, ClsDate());
        ASSERT_TRUE(store.Save().Ok());
    }
};

struct WriteFault {
    const char* name;
    Op op;
    const char* pathPart;
    int error;
    int32_t number;        // the classic number logged
    bool customerReplaced; // Customer.bin, renamed first, holds the new bytes
    bool globalReplaced;   // Global.bin, renamed last
};
// clang-format off
const WriteFault kWriteFaults[] = {
    {"TemporaryNotCreated", Op::Open, ".tmp-", ENOSPC, 61, false, false},
    {"DiskFullWritingTheSecondCopy", Op::Write, "Global.bin.tmp-", ENOSPC, 61, false, false},
    {"ModeNotKept", Op::Fchmod, "Customer", EPERM, 70, false, false},
    {"FsyncFails", Op::Fsync, "Customer", EIO, 57, false, false},
    {"CloseFails", Op::Close, "Global", EIO, 57, false, false},
    {"FirstRenameFails", Op::Rename, "Customer.bin", EACCES, 70, false, false},
    {"LastRenameFails", Op::Rename, "Global.bin", EIO, 57, true, false},
    {"FolderSyncFails", Op::SyncFolder, "Data", EIO, 57, true, true},
    {"FolderNotMade", Op::Mkdir, "Data", EACCES, 70, false, false}};
// clang-format on

class WriteFaults : public StoreFailureTest, public ::testing::WithParamInterface<WriteFault> {};

// A new customer touches Customer.bin and Global.bin (the counter). Copies are written and
// synced before any rename, and a failed rename stops the run. What was not replaced keeps
// its bytes, is logged, reported and written by the next save; a folder sync is logged only.
TEST_P(WriteFaults, KeepTheOldBytesLogAndReport) {
    Seed();
    const FileBytes oldCustomers = ReadBytes(Data("Customer.bin"));
    const FileBytes oldGlobal = ReadBytes(Data("Global.bin"));
    FaultyFileSystem files;
    ClsGlobal store(Folders(), files);
    int32_t fresh = 0;
    store.CustomerSave(fresh, "New customer");
    const WriteFault& f = GetParam();
    if (f.op == Op::Mkdir) {
        fs::remove_all(Data(""));
    }
    files.faults.push_back({f.op, f.pathPart, 1, f.error});

    SaveResult result = store.Save();

    Names expected = {"Customer.bin", "Global.bin"}; // less those replaced, in order
    expected.erase(expected.begin(), expected.begin() + f.customerReplaced + f.globalReplaced);
    EXPECT_EQ(result.failedFiles, expected);
    for (const Error& e : result.errors) {
        EXPECT_EQ(e.number, f.number);
    }
    if (f.op != Op::Mkdir) {
        EXPECT_EQ(ReadBytes(Data("Customer.bin")) == oldCustomers, !f.customerReplaced);
        EXPECT_EQ(ReadBytes(Data("Global.bin")) == oldGlobal, !f.globalReplaced);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, " %08X ", static_cast<unsigned>(f.number));
    EXPECT_EQ(Count(ReadLog(), hex), f.op == Op::SyncFolder ? 1u : expected.size()) << ReadLog();
    EXPECT_EQ(ReadLog().find("FileIo" + std::string(15, ' ') + "WriteBatch") != std::string::npos,
              f.op == Op::SyncFolder);

    EXPECT_EQ(store.HasPendingChanges(), !expected.empty());
    EXPECT_TRUE(store.Save().Ok()); // the fault is spent
    EXPECT_NE(ReadBytes(Data("Customer.bin")), oldCustomers);
    ClsGlobal reloaded(Folders());
    EXPECT_EQ(reloaded.CustomerLoad(21)->Name(), "New customer");
    EXPECT_EQ(reloaded.NextId(), 22);
}

INSTANTIATE_TEST_SUITE_P(Table, WriteFaults, ::testing::ValuesIn(kWriteFaults),
                         [](const auto& row) { return std::string(row.param.name); });

// Only what changed is written, and a rewrite keeps each file's mode and any bytes past
// Global.bin's record; a new file takes the umask.
TEST_F(StoreFailureTest, OnlyChangedFilesAreRewrittenKeepingTheirMode) {
    Seed();
    ::chmod(Data("Resource.bin").c_str(), 0600);
    ::chmod(Data("Global.bin").c_str(), 0604);
    fs::remove(Data("Type.bin"));
    FileBytes global = ReadBytes(Data("Global.bin"));
    global.insert(global.end(), {'t', 'a', 'i', 'l'}); // as a later version may write
    WriteBytes(Data("Global.bin"), global);
    const mode_t before = ::umask(027);
    FaultyFileSystem files;
    {
        ClsGlobal store(Folders(), files);
        int32_t id = 0;
        store.ResourceSave(id, "Bay 4");
        ASSERT_TRUE(store.Save().Ok());
        store.SetOption(1, false);
        store.SetOption(1, false);
        ASSERT_TRUE(store.Save().Ok());
        ASSERT_TRUE(store.Save().Ok());
    }
    ::umask(before);
    global = ReadBytes(Data("Global.bin"));
    ASSERT_EQ(global.size(), 714u);
    EXPECT_EQ(std::string(global.begin() + 710, global.end()), "tail");
    EXPECT_EQ(files.Count(Op::Rename, "Resource.bin"), 1);
    EXPECT_EQ(files.Count(Op::Rename, "Global.bin"), 2);
    for (const char* untouched : {"Customer.bin", "Appointment.bin"}) {
        EXPECT_EQ(files.Count(Op::Open, untouched), 1) << untouched; // its load only
    }
    for (auto [name, mode] :
         {std::pair{"Resource.bin", 0600u}, {"Global.bin", 0604u}, {"Type.bin", 0640u}}) {
        struct stat st {};
        ASSERT_EQ(::stat(Data(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << name;
    }
}

enum class Spoil { Folder, Pipe, Device, NoPermission };
class UnreadableFiles : public StoreFailureTest,
                        public ::testing::WithParamInterface<std::tuple<const char*, Spoil>> {};

// A file that cannot be read is named with its reason, left exactly as it is, and never
// offered for writing; the other files load and save as usual.
TEST_P(UnreadableFiles, AreReportedAndLeftAlone) {
    Seed();
    const auto [file, how] = GetParam();
    const std::string path = Data(file);
    FaultyFileSystem files;
    if (how == Spoil::NoPermission) {
        files.faults.push_back({Op::Open, path, 0, EACCES});
    } else {
        fs::remove(path);
        how == Spoil::Folder ? (void)fs::create_directories(path + "/inside")
        : how == Spoil::Pipe ? (void)::mkfifo(path.c_str(), 0600)
                             : fs::create_symlink("/dev/zero", path);
    }
    ClsGlobal store(Folders(), files);

    ASSERT_EQ(store.LoadProblems().size(), 1u);
    const FileProblem& problem = store.LoadProblems().front();
    EXPECT_EQ(problem.kind, FileProblem::Kind::Unreadable);
    EXPECT_EQ(problem.file, file);
    EXPECT_EQ(problem.error.number, how == Spoil::NoPermission ? 70 : 75);
    EXPECT_FALSE(store.FirstRun());

    int32_t id = 0;
    store.CustomerSave(id, "C");
    store.ResourceSave(id = 0, "R");
    store.TypeSave(id = 0, "T", 1, 2, 3, 4, 5);
    store.AppointmentSave(id = 0, 0, 1, 0, 10, 20, "A");
    store.SetOption(1, false);
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_FALSE(store.HasPendingChanges());
    EXPECT_EQ(files.Count(Op::Rename, file), 0);
    EXPECT_EQ(files.Count(Op::Rename, ".bin"), 4);
}

std::string UnreadableName(const ::testing::TestParamInfo<UnreadableFiles::ParamType>& row) {
    const char* spoils[] = {"Folder", "Pipe", "Device", "NoPermission"};
    const std::string file = std::get<0>(row.param);
    return file.substr(0, file.find('.')) + spoils[static_cast<int>(std::get<1>(row.param))];
}
INSTANTIATE_TEST_SUITE_P(Table, UnreadableFiles,
                         ::testing::Combine(::testing::Values("Global.bin", "Resource.bin",
                                                              "Customer.bin", "Type.bin",
                                                              "Appointment.bin"),
                                            ::testing::Values(Spoil::Folder, Spoil::Pipe,
                                                              Spoil::Device, Spoil::NoPermission)),
                         UnreadableName);

enum class Damage { Trailing, IdZero, RepeatedId, Short };
struct DamageCase {
    const char* name;
    const char* file;
    size_t length; // of a record, of what trails, or of what is left
    Damage damage;
    const char* said; // part of what the problem and the log line say
    const char* number;
};
// clang-format off
const DamageCase kDamage[] = {
    {"ResourceTrailingByte", "Resource.bin", 1, Damage::Trailing, "ended in 1 byte short", "0000003B"},
    {"CustomerAlmostARecord", "Customer.bin", 27, Damage::Trailing, "ended in 27 bytes short", "0000003B"},
    {"TypeIdZero", "Type.bin", 48, Damage::IdZero, "held 1 record with id 0", "00000005"},
    {"AppointmentRepeatedId", "Appointment.bin", 36, Damage::RepeatedId, "held 1 record whose id came earlier", "000001C9"},
    {"AppointmentIdZero", "Appointment.bin", 36, Damage::IdZero, "held 1 record with id 0", "00000005"},
    {"GlobalShort", "Global.bin", 700, Damage::Short, "was 700 bytes long instead of 710", "0000003B"}};
// clang-format on

class DamagedFiles : public StoreFailureTest, public ::testing::WithParamInterface<DamageCase> {};

// A damaged file is copied to .bak the moment it is read (an earlier copy is kept), the
// repair is logged with what was wrong and where the copy is, and the clean file is written
// by the next save. One load makes one copy, however often the save is tried.
TEST_P(DamagedFiles, AreKeptLoggedAndRewrittenClean) {
    Seed();
    const DamageCase& c = GetParam();
    const std::string path = Data(c.file);
    const FileBytes clean = ReadBytes(path);
    FileBytes damaged = clean;
    const auto n = static_cast<std::ptrdiff_t>(c.length);
    if (c.damage == Damage::Short || c.damage == Damage::Trailing) {
        damaged.resize(c.damage == Damage::Short ? c.length : clean.size() + c.length, 0x5A);
    } else {
        // A repeat of the first record, or the second one with id 0, goes in as the third.
        FileBytes record(clean.begin() + (c.damage == Damage::IdZero ? n : 0),
                         clean.begin() + (c.damage == Damage::IdZero ? 2 * n : n));
        c.damage == Damage::IdZero ? Put(record, 0, 0) : (void)(record.back() ^= 0x20);
        damaged.insert(damaged.begin() + 2 * n, record.begin(), record.end());
    }
    WriteBytes(path, damaged);
    WriteBytes(path + ".bak", {'o', 'l', 'd'});
    {
        FaultyFileSystem files;
        ClsGlobal store(Folders(), files);
        files.faults.push_back({Op::Rename, path, 0, EIO});
        ASSERT_EQ(store.LoadProblems().size(), 1u);
        const FileProblem& problem = store.LoadProblems().front();
        EXPECT_EQ(problem.kind, FileProblem::Kind::Repaired);
        EXPECT_NE(problem.what.find(c.said), std::string::npos) << problem.what;
        EXPECT_EQ(problem.backup, path + ".bak.2");
        EXPECT_EQ(ReadBytes(path + ".bak.2"), damaged);
        EXPECT_EQ(ReadBytes(path + ".bak"), FileBytes({'o', 'l', 'd'}));
        const std::string log = ReadLog();
        EXPECT_EQ(Count(log, "\r\n"), 1u) << log;
        EXPECT_NE(log.find(std::string(c.number) + " " + c.file), std::string::npos) << log;
        EXPECT_NE(log.find("kept as " + path + ".bak.2"), std::string::npos) << log;
        EXPECT_TRUE(store.HasPendingChanges());
        EXPECT_FALSE(store.Save().Ok());
        EXPECT_FALSE(store.Save().Ok());
        EXPECT_FALSE(fs::exists(path + ".bak.3"));
        EXPECT_EQ(ReadBytes(path), damaged);
    }
    ClsGlobal store(Folders());
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_EQ(ReadBytes(path), clean);
    EXPECT_TRUE(fs::exists(path + ".bak.3")); // a second faulty load: a second copy
    ClsGlobal again(Folders());
    EXPECT_TRUE(again.LoadProblems().empty());
    EXPECT_FALSE(again.HasPendingChanges());
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedFiles, ::testing::ValuesIn(kDamage),
                         [](const auto& row) { return std::string(row.param.name); });

// Whatever the counter or the records say, ids are never below 1 and never taken; when the
// counter is spent, the lowest free ids are handed out.
TEST_F(StoreFailureTest, IdsAreNeverBelowOneNorTaken) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    // The counter set to a value, or a stray customer with that id appended.
    const std::pair<int32_t, bool> rows[] = {{-5, false}, {kMax, false}, {kMax, true}};
    for (auto [value, stray] : rows) {
        SCOPED_TRACE(::testing::Message() << value << (stray ? " stray" : " counter"));
        fs::remove_all(Data(""));
        Seed();
        const std::string path = Data(stray ? "Customer.bin" : "Global.bin");
        FileBytes bytes = ReadBytes(path);
        if (stray) {
            const FileBytes first(bytes.begin(), bytes.begin() + 28);
            bytes.insert(bytes.end(), first.begin(), first.end());
        }
        Put(bytes, stray ? bytes.size() - 28 : 0, static_cast<uint32_t>(value));
        WriteBytes(path, bytes);
        ClsGlobal store(Folders());
        EXPECT_EQ(store.NextId(), 21);
        EXPECT_EQ(store.NextId(), 22);
        int32_t customer = 0, appointment = 0;
        EXPECT_GT(store.CustomerSave(customer, "After"), 22);
        EXPECT_GT(store.AppointmentSave(appointment, 0, 4, 0, 0, 10, "After"), customer);
        EXPECT_EQ(ReadLog().find(" NextId "), std::string::npos);
        fs::remove_all(dir.file("Tidemar.err"));
    }
}

// A first run is a new user: Global.bin missing and no record anywhere. Without Global.bin
// but with records the settings start over, the user is told, and the counter follows the
// records.
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
    int32_t clash = 0; // the loaded bookings are in the overlap index
    EXPECT_EQ(store.AppointmentSave(clash, 0, 6, 0, At(550), At(560), ""), -1);
    EXPECT_TRUE(store.Save().Ok());
    EXPECT_EQ(ReadBytes(Data("Global.bin")).size(), 710u);
}

// Our stale temporaries go at start and nothing else does; a read-only store touches
// nothing at all.
TEST_F(StoreFailureTest, StaleTemporariesAndReadOnlyMode) {
    Seed();
    const Names ours = {"Appointment.bin.tmp-AbC123", "Global.bin.bak.2.tmp-zzzzzz",
                        "Type.bin.bak.tmp-000000"};
    const Names theirs = {"Appointment.bin.tmp-AbC12", "notes.tmp-abcdef",
                          "Type.bin.old.tmp-abcdef", "Customer.bin.tmp-abc!ef"};
    for (const Names& names : {ours, theirs}) {
        for (const std::string& name : names) {
            WriteBytes(Data(name), {1});
        }
    }
    FileBytes customers = ReadBytes(Data("Customer.bin"));
    customers.push_back(0x5A);
    WriteBytes(Data("Customer.bin"), customers);
    fs::remove(Data("Type.bin"));
    {
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
        EXPECT_TRUE(fs::exists(Data(ours[0])));
    }
    ClsGlobal store(Folders());
    for (const std::string& name : ours) {
        EXPECT_FALSE(fs::exists(Data(name))) << name;
    }
    for (const std::string& name : theirs) {
        EXPECT_TRUE(fs::exists(Data(name))) << name;
        fs::remove(Data(name)); // the fixture checks for leftovers of ours
    }
}

} // namespace
