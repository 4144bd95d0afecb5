// What the store does when its files or the disk let it down: failed writes keep the old
// bytes and say so, unreadable files are left alone, damaged ones are kept and repaired.
#include <sys/stat.h>

#include <limits>
#include <optional>
#include <tuple>

#include "store/SampleData.h"
#include "store/StoreChanges.h"
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
        StoreChanges changes(store);
        CreateSampleData(changes, ClsDate());
        ASSERT_TRUE(store.Save().Ok());
    }
};

struct WriteFault {
    const char* name;
    Op op;
    const char* pathPart;
    int error;
    int32_t number;        // the classic number logged
    const char* says;      // and what it says
    bool customerReplaced; // Customer.bin, renamed first, holds the new bytes
    bool globalReplaced;   // Global.bin, renamed last
};
// clang-format off
const WriteFault kWriteFaults[] = {
    {"TemporaryNotCreated", Op::Open, ".tmp-", ENOSPC, 61, "Disk full", false, false},
    {"ReadOnlyFileSystem", Op::Open, ".tmp-", EROFS, 70, "Read-only file system", false, false},
    {"OverQuota", Op::Write, "Customer.bin.tmp-", EDQUOT, 61, "Disk quota exceeded", false, false},
    {"DiskFullWritingTheSecondCopy", Op::Write, "Global.bin.tmp-", ENOSPC, 61, "Disk full", false, false},
    {"ModeNotKept", Op::Fchmod, "Customer", EPERM, 70, "Permission denied", false, false},
    {"FsyncFails", Op::Fsync, "Customer", EIO, 57, "Device I/O error", false, false},
    {"CloseFails", Op::Close, "Global", EIO, 57, "Device I/O error", false, false},
    {"FirstRenameFails", Op::Rename, "Customer.bin", EACCES, 70, "Permission denied", false, false},
    {"LastRenameFails", Op::Rename, "Global.bin", ENAMETOOLONG, 75, "File name too long", true, false},
    {"FolderSyncFails", Op::SyncFolder, "Data", EIO, 57, "Device I/O error", true, true},
    {"FolderNotMade", Op::Mkdir, "Data", EACCES, 70, "Permission denied", false, false}};
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
        EXPECT_EQ(e.description, f.says);
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

enum class Spoil { Folder, Pipe, Device, NoPermission, DanglingLink };
class UnreadableFiles : public StoreFailureTest,
                        public ::testing::WithParamInterface<std::tuple<const char*, Spoil>> {};

// A file that cannot be read is named with its reason, left exactly as it is, and never
// offered for writing; the other files load and save as usual.
TEST_P(UnreadableFiles, AreReportedAndLeftAlone) {
    Seed();
    const auto [file, how] = GetParam();
    const std::string path = Data(file);
    FaultyFileSystem files;
    // A link to a file that is not there (yet).
    const std::string away = dir.file("away-") + file;
    if (how == Spoil::NoPermission) {
        files.faults.push_back({Op::Open, path, 0, EACCES});
    } else {
        fs::remove(path);
        how == Spoil::Folder   ? (void)fs::create_directories(path + "/inside")
        : how == Spoil::Pipe   ? (void)::mkfifo(path.c_str(), 0600)
        : how == Spoil::Device ? fs::create_symlink("/dev/zero", path)
                               : fs::create_symlink(away, path);
    }
    ClsGlobal store(Folders(), files);
    EXPECT_FALSE(fs::exists(away)) << "nothing made where the link leads";

    ASSERT_EQ(store.LoadProblems().size(), 1u);
    const FileProblem& problem = store.LoadProblems().front();
    EXPECT_EQ(problem.kind, FileProblem::Kind::Unreadable);
    EXPECT_EQ(problem.file, file);
    EXPECT_EQ(problem.error.number, how == Spoil::NoPermission   ? 70
                                    : how == Spoil::DanglingLink ? 53
                                                                 : 75);
    if (how == Spoil::DanglingLink) {
        EXPECT_EQ(problem.what, "is a link to " + away + ", which cannot be reached");
    }
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
    const char* spoils[] = {"Folder", "Pipe", "Device", "NoPermission", "DanglingLink"};
    const std::string file = std::get<0>(row.param);
    return file.substr(0, file.find('.')) + spoils[static_cast<int>(std::get<1>(row.param))];
}
INSTANTIATE_TEST_SUITE_P(
    Table, UnreadableFiles,
    ::testing::Combine(::testing::Values("Global.bin", "Resource.bin", "Customer.bin", "Type.bin",
                                         "Appointment.bin"),
                       ::testing::Values(Spoil::Folder, Spoil::Pipe, Spoil::Device,
                                         Spoil::NoPermission, Spoil::DanglingLink)),
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
    {"ResourceTrailingByte", "Resource.bin", 1, Damage::Trailing, "ended in 1 stray byte after the last whole record", "0000003B"},
    {"CustomerAlmostARecord", "Customer.bin", 27, Damage::Trailing, "ended in 27 stray bytes after the last whole record", "0000003B"},
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

enum class Away { IsAFile, DanglingLink, NoSearch, Unmakeable, LookupFails };
struct FolderCase {
    const char* name;
    Away how;
    int32_t number;
    const char* what;
};
const FolderCase kFolders[] = {{"IsAFile", Away::IsAFile, 75, "could not be read"},
                               {"LinkToADriveNotMounted", Away::DanglingLink, 53, "is a link to "},
                               {"NoPermission", Away::NoSearch, 70, "could not be read"},
                               {"CannotBeMade", Away::Unmakeable, 70, "could not be made"},
                               {"LookupFails", Away::LookupFails, 57, "could not be read"}};

class UnusableFolders : public StoreFailureTest,
                        public ::testing::WithParamInterface<FolderCase> {};

// A data folder that cannot be used is no first run: the user is told once, why, nothing is
// shown as if new, and nothing is written this session, so the files are as they were when
// the folder comes back.
TEST_P(UnusableFolders, AreToldAndNeverWritten) {
    const FolderCase& c = GetParam();
    Seed();
    const std::string data = dir.file("Data");
    const std::string kept = dir.file("kept");
    fs::rename(data, kept);
    FaultyFileSystem files;
    switch (c.how) {
    case Away::IsAFile:
        WriteBytes(dir.file("Data"), {1, 2, 3});
        break;
    case Away::DanglingLink:
        fs::create_symlink(dir.file("drive/Data"), dir.file("Data"));
        break;
    case Away::NoSearch:
        fs::rename(kept, data);
        files.faults.push_back({Op::Access, "/Data", 0, EACCES});
        break;
    case Away::Unmakeable:
        files.faults.push_back({Op::Mkdir, "/Data", 0, EACCES});
        break;
    case Away::LookupFails:
        fs::rename(kept, data);
        files.faults.push_back({Op::Lstat, "/Data", 1, EIO});
        break;
    }
    {
        ClsGlobal store(Folders(), files);
        ASSERT_EQ(store.LoadProblems().size(), 1u);
        const FileProblem& problem = store.LoadProblems().front();
        EXPECT_EQ(problem.kind, FileProblem::Kind::Unreadable);
        EXPECT_EQ(problem.file, "");
        EXPECT_EQ(problem.error.number, c.number);
        EXPECT_EQ(problem.what.rfind(c.what, 0), 0u) << problem.what;
        EXPECT_FALSE(store.FirstRun());
        EXPECT_EQ(store.Resources().Count() + store.Appointments().Count(), 0u);
        EXPECT_NE(ReadLog().find("The folder " + Folders().Data()), std::string::npos) << ReadLog();
        if (!fs::is_directory(dir.file("Data"))) { // the drive comes back
            fs::remove(dir.file("Data"));
            fs::rename(kept, dir.file("Data"));
        }
        int32_t id = 0;
        store.ResourceSave(id, "Sample");
        store.SetOption(1, false);
        EXPECT_FALSE(store.HasPendingChanges());
        EXPECT_TRUE(store.Save().Ok());
    }
    EXPECT_EQ(files.Count(Op::Rename) + files.Count(Op::Write), 0);
    ClsGlobal after(Folders());
    EXPECT_TRUE(after.LoadProblems().empty());
    EXPECT_EQ(Ids(after.Appointments()).size(), 11u);
    EXPECT_EQ(after.NextId(), 21);
}

INSTANTIATE_TEST_SUITE_P(Table, UnusableFolders, ::testing::ValuesIn(kFolders),
                         [](const auto& row) { return std::string(row.param.name); });

// A data file that is a link is written through it, so the link stays; a save cut short
// there is cleaned up beside the file it leads to, and nothing else there is touched.
TEST_F(StoreFailureTest, LinkedFilesAreWrittenThroughTheirLinks) {
    Seed();
    fs::create_directories(dir.file("elsewhere/deeper"));
    fs::rename(Data("Appointment.bin"), dir.file("elsewhere/bookings"));
    fs::create_symlink("../elsewhere/bookings", Data("Appointment.bin"));
    fs::rename(Data("Global.bin"), dir.file("elsewhere/deeper/settings"));
    fs::create_symlink(dir.file("elsewhere/deeper/settings"), dir.file("elsewhere/hop"));
    fs::create_symlink(dir.file("elsewhere/hop"), Data("Global.bin"));
    WriteBytes(dir.file("elsewhere/bookings.tmp-AbC123"), {1});
    WriteBytes(dir.file("elsewhere/notes.tmp-AbC123"), {1});
    {
        ClsGlobal store(Folders());
        EXPECT_TRUE(store.LoadProblems().empty());
        EXPECT_FALSE(fs::exists(dir.file("elsewhere/bookings.tmp-AbC123")));
        int32_t id = 0;
        store.AppointmentSave(id, 7, 4, 1, At(1200), At(1260), "Linked");
        ASSERT_TRUE(store.Save().Ok());
    }
    EXPECT_TRUE(fs::is_symlink(Data("Appointment.bin")));
    EXPECT_TRUE(fs::is_symlink(Data("Global.bin")));
    EXPECT_TRUE(fs::is_symlink(dir.file("elsewhere/hop")));
    EXPECT_EQ(fs::file_size(dir.file("elsewhere/bookings")), 12u * 36u);
    EXPECT_EQ(ReadBytes(dir.file("elsewhere/deeper/settings"))[0], 21);
    EXPECT_TRUE(fs::exists(dir.file("elsewhere/notes.tmp-AbC123")));
    fs::remove(dir.file("elsewhere/notes.tmp-AbC123"));
}

// A booking whose resource is not in Resource.bin is kept and saved back, the user is told,
// and its resource's id is never handed to a new record.
TEST_F(StoreFailureTest, BookingsOfAMissingResourceAreKeptAndReported) {
    Seed();
    FileBytes appointments = ReadBytes(Data("Appointment.bin"));
    for (int32_t missing : {500, 498, 500}) {
        FileBytes record(appointments.begin(), appointments.begin() + 36);
        Put(record, 0, static_cast<uint32_t>(200 + appointments.size() / 36));
        Put(record, 8, static_cast<uint32_t>(missing));
        appointments.insert(appointments.end(), record.begin(), record.end());
    }
    WriteBytes(Data("Appointment.bin"), appointments);
    ClsGlobal store(Folders());
    ASSERT_EQ(store.LoadProblems().size(), 1u);
    const FileProblem& problem = store.LoadProblems().front();
    EXPECT_EQ(problem.kind, FileProblem::Kind::Noted);
    EXPECT_EQ(problem.file, "Appointment.bin");
    EXPECT_NE(problem.what.find("3 appointments of resources not in Resource.bin (id 498, 500)"),
              std::string::npos)
        << problem.what;
    EXPECT_FALSE(store.HasPendingChanges());
    EXPECT_EQ(store.Appointments().Count(), 14u);
    EXPECT_EQ(store.NextId(), 501);
    int32_t id = 10;
    store.AppointmentDelete(id);
    ASSERT_TRUE(store.Save().Ok());
    EXPECT_EQ(fs::file_size(Data("Appointment.bin")), 13u * 36u);
    EXPECT_FALSE(fs::exists(Data("Appointment.bin.bak")));
}

// Each kind of change, then a save cut short after each of its renames in turn: what is on
// disk never holds a booking whose resource, customer or type is not there, the next run
// hands out no id that is in use, and the next save completes it.
struct CutCase {
    const char* name;
    void (*change)(ClsGlobal&);
};
int32_t Book(ClsGlobal& store, int32_t customer, int32_t resource, int32_t type) {
    int32_t id = 0;
    return store.AppointmentSave(id, customer, resource, type, At(1380), At(1410), "Late");
}
int32_t Add(ClsGlobal& store, char kind) {
    int32_t id = 0;
    return kind == 'R'   ? store.ResourceSave(id, "New")
           : kind == 'C' ? store.CustomerSave(id, "New")
                         : store.TypeSave(id, "New", 1, 2, 15, 0, 15);
}
const CutCase kCuts[] = {
    {"DeleteResource", [](ClsGlobal& s) { s.ResourceDelete(6); }},
    {"AddResourceAndBook", [](ClsGlobal& s) { Book(s, 7, Add(s, 'R'), 1); }},
    {"DeleteOneResourceBookAnother",
     [](ClsGlobal& s) {
         s.ResourceDelete(6);
         Book(s, 7, Add(s, 'R'), 1);
     }},
    {"DeleteCustomerBookANewType",
     [](ClsGlobal& s) {
         s.CustomerDelete(7);
         Book(s, 8, 4, Add(s, 'T'));
     }},
    {"DeleteTypeBookANewCustomer",
     [](ClsGlobal& s) {
         s.TypeDelete(3);
         Book(s, Add(s, 'C'), 5, 1);
     }},
    {"DeleteAndReAddUnderTheSameId",
     [](ClsGlobal& s) {
         s.ResourceDelete(5);
         int32_t id = 5;
         s.ResourceSave(id, "Back");
         Book(s, 9, 5, 2);
     }},
    // A redo deletes as the delete did, also when a save came in between.
    {"RedoResourceDeleteAfterASave",
     [](ClsGlobal& s) {
         StoreChanges changes(s);
         std::optional<EditStep> step;
         auto keep = changes.Subscribe([&](const ChangeSet& set) {
             if (set.origin == ChangeSet::Origin::Change) {
                 step.emplace(set);
             }
         });
         changes.ResourceDelete(6);
         ASSERT_FALSE(changes.Undo(*step).has_value());
         ASSERT_TRUE(s.Save().Ok());
         ASSERT_FALSE(changes.Redo(*step).has_value());
     }},
    // Series links go to disk after the bookings they link.
    {"LinkASeriesAndBookIntoIt",
     [](ClsGlobal& s) {
         s.SetSeries(10, 10);
         s.SetSeries(11, 10);
         s.SetSeries(Book(s, 7, 4, 1), 10);
     }},
    {"DeleteADateOfASeriesAndLinkANewOne",
     [](ClsGlobal& s) {
         s.SetSeries(10, 10);
         s.SetSeries(11, 10);
         s.SetSeries(12, 10);
         ASSERT_TRUE(s.Save().Ok());
         s.AppointmentDelete(11);
         s.SetSeries(Book(s, 7, 4, 1), 10);
     }},
};

class CutSaves : public StoreFailureTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutSaves, LeaveNoBookingWithoutItsRecords) {
    int renames = 0;
    {
        Seed();
        FaultyFileSystem files;
        ClsGlobal store(Folders(), files);
        GetParam().change(store);
        const int before = files.Count(Op::Rename);
        ASSERT_TRUE(store.Save().Ok());
        renames = files.Count(Op::Rename) - before;
    }
    EXPECT_GE(renames, 3);
    for (int cut = 0; cut < renames; ++cut) {
        SCOPED_TRACE(::testing::Message() << "cut after rename " << cut);
        fs::remove_all(Data(""));
        Seed();
        FaultyFileSystem files;
        ClsGlobal store(Folders(), files);
        GetParam().change(store);
        files.faults.push_back({Op::Rename, "/Data/", cut + 1, EIO});
        EXPECT_FALSE(store.Save().Ok());

        ClsGlobal disk(Folders(), FileSystem::Real(), StoreMode::ReadOnly);
        EXPECT_TRUE(disk.LoadProblems().empty()) << disk.LoadProblems().front().what;
        int32_t highest = 0;
        for (const ClsAppointment& a : disk.Appointments()) {
            EXPECT_TRUE(disk.Resources().Exists(a.ResourceId())) << a.Id();
            EXPECT_TRUE(disk.Customers().Exists(a.CustomerId())) << a.Id();
            EXPECT_TRUE(a.TypeId() == 0 || disk.Types().Exists(a.TypeId())) << a.Id();
            highest = std::max(highest, a.Id());
        }
        for (const IdList& ids :
             {Ids(disk.Resources()), Ids(disk.Customers()), Ids(disk.Types())}) {
            for (int32_t id : ids) {
                highest = std::max(highest, id);
            }
        }
        EXPECT_GT(ClsGlobal(Folders(), FileSystem::Real(), StoreMode::ReadOnly).NextId(), highest);

        files.faults.clear();
        ASSERT_TRUE(store.Save().Ok());
        ClsGlobal saved(Folders(), FileSystem::Real(), StoreMode::ReadOnly);
        EXPECT_EQ(Dump(saved.Resources()), Dump(store.Resources()));
        EXPECT_EQ(Dump(saved.Customers()), Dump(store.Customers()));
        EXPECT_EQ(Dump(saved.Types()), Dump(store.Types()));
        EXPECT_EQ(Dump(saved.Appointments()), Dump(store.Appointments()));
        EXPECT_EQ(saved.Series().Bytes(), store.Series().Bytes());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CutSaves, ::testing::ValuesIn(kCuts),
                         [](const auto& row) { return std::string(row.param.name); });

// A reader alongside a planner that saves reads the files again when one was replaced while
// it read them, so it never takes a resource from one save and the bookings from another;
// files that keep changing are reported after a few tries.
TEST_F(StoreFailureTest, AReaderTakesItsRecordsFromOneSave) {
    for (bool endless : {false, true}) {
        SCOPED_TRACE(endless ? "saved at every read" : "saved once while read");
        fs::remove_all(Data(""));
        Seed();
        ClsGlobal planner(Folders());
        FaultyFileSystem files;
        int saves = 0;
        files.beforeCall = [&](const FaultyFileSystem::Call& call) {
            if (call.op == Op::Open && call.path == Data("Appointment.bin") &&
                (endless || saves == 0)) {
                ++saves;
                Book(planner, 7, Add(planner, 'R'), 1);
                ASSERT_TRUE(planner.Save().Ok());
            }
        };
        ClsGlobal reader(Folders(), files, StoreMode::ReadOnly);
        if (endless) {
            ASSERT_FALSE(reader.LoadProblems().empty()); // the last read's own come first
            EXPECT_EQ(reader.LoadProblems().back().kind, FileProblem::Kind::Unreadable);
            EXPECT_EQ(reader.LoadProblems().back().file, "");
            EXPECT_EQ(saves, 5);
            continue;
        }
        EXPECT_TRUE(reader.LoadProblems().empty());
        EXPECT_EQ(saves, 1);
        EXPECT_EQ(Dump(reader.Resources()), Dump(planner.Resources()));
        EXPECT_EQ(Dump(reader.Appointments()), Dump(planner.Appointments()));
        fs::remove(dir.file("Tidemar.err"));
    }
}

} // namespace
