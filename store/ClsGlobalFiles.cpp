// Loading and saving the store: the record files and Global.bin.
#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
#include <unistd.h>

#include "base/Hooks.h"
#include "base/ModError.h"
#include "store/ClsGlobal.h"
#include "store/FileSystem.h"

static_assert(std::endian::native == std::endian::little,
              "records are held as the files hold them: little-endian");

namespace {
constexpr const char* kClass = "ClsGlobal";
constexpr const char* kFileNames[] = {"Resource.bin",    "Customer.bin", "Type.bin",
                                      "Appointment.bin", "Global.bin",   "Series.bin"};
constexpr const char* kSaveProcs[] = {"SaveResources",    "SaveCustomers", "SaveTypes",
                                      "SaveAppointments", "Save",          "SaveSeries"};

// A reader that finds a file replaced while it read tries again this often before it gives up.
constexpr int kReadAttempts = 5;

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What was wrong with a file, each fault after the first as "; it ...".
std::string Joined(const std::vector<std::string>& wrongs) {
    std::string what;
    for (const std::string& w : wrongs) {
        what += (what.empty() ? "" : "; it ") + w;
    }
    return what;
}

std::string WhatOf(const Presence& found) {
    return found.linkTarget.empty()
               ? "could not be read"
               : "is a link to " + found.linkTarget + ", which cannot be reached";
}
} // namespace

BatchResult SavePlan::Write(FileSystem& fs) const {
    if (files.empty()) {
        return {};
    }
    if (auto e = FileIo::EnsureFolder(fs, folder)) {
        BatchResult result;
        result.errors.assign(files.size(), *e);
        return result;
    }
    return FileIo::WriteBatch(fs, files);
}

ClsGlobal::ClsGlobal(ProgramFolders folders, FileSystem& fs, StoreMode mode)
    : folders_(std::move(folders)), fs_(fs), mode_(mode), dataFolder_(folders_.Data() + "/") {
    Load();
}

std::string ClsGlobal::PathOf(Kind kind) const {
    return dataFolder_ + kFileNames[kind];
}

void ClsGlobal::Load() {
    if (mode_ == StoreMode::ReadWrite) {
        LoadOnce(); // the instance lock keeps every other writer away
        return;
    }
    // A planner may be saving meanwhile: a read that saw any file replaced is read again, so
    // the records come from one save and never from two.
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const std::vector<int64_t> before = Identities();
        LoadOnce();
        if (Identities() == before) {
            return;
        }
    }
    FileProblem problem;
    problem.error = Error{ErrorNumber::PathFileAccess, "Files replaced during the read"};
    problem.what = "kept changing while it was read (" + std::to_string(kReadAttempts) + " tries)";
    ModError::LogError(kClass, "Load", 0, problem.error.number,
                       folders_.Data() + " " + problem.what);
    problems_.push_back(std::move(problem));
}

std::vector<int64_t> ClsGlobal::Identities() {
    std::vector<int64_t> ids;
    for (int kind = 0; kind < kKindCount; ++kind) {
        struct stat st {};
        int rc = fs_.Stat(PathOf(static_cast<Kind>(kind)), st);
        ids.insert(ids.end(), {rc, static_cast<int64_t>(st.st_dev), static_cast<int64_t>(st.st_ino),
                               static_cast<int64_t>(st.st_size), st.st_mtim.tv_sec,
                               st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec});
    }
    return ids;
}

void ClsGlobal::LoadOnce() {
    bool writable = mode_ == StoreMode::ReadWrite;
    counter_ = 0;
    unusedCursor_ = 1;
    problems_.clear();
    dirty_.fill(false);
    keepAsIs_.fill(false);
    for (int kind = 0; kind < kKindCount; ++kind) {
        writePath_[kind] = PathOf(static_cast<Kind>(kind));
        removed_[kind].clear();
    }
    global_ = GlobalRecord();
    globalTail_.clear();
    firstRun_ = false;
    std::optional<Error> made;
    if (writable) {
        // mkdir never follows a link, so one that leads nowhere stays as it is.
        made = FileIo::EnsureFolder(fs_, folders_.Data());
    }
    if (!FolderUsable(made)) {
        // Nothing in it is read, so nothing in it may be written this session.
        keepAsIs_.fill(true);
        resources_.Clear();
        customers_.Clear();
        ++customersVersion_;
        types_.Clear();
        appointments_.Clear();
        byResource_.Clear();
        series_.Clear();
        return;
    }
    if (writable) {
        SweepTemporaries();
    }
    bool globalPresent = LoadGlobal();
    LoadResources();
    LoadCustomers();
    LoadTypes();
    LoadAppointments();
    LoadSeries();
    NoteOrphans();
    bool anyRecords =
        resources_.Count() + customers_.Count() + types_.Count() + appointments_.Count() != 0 ||
        keepAsIs_[kResource] || keepAsIs_[kCustomer] || keepAsIs_[kType] || keepAsIs_[kAppointment];
    firstRun_ = !globalPresent && !anyRecords;
    if (!globalPresent) {
        dirty_[kGlobal] = writable;
        if (anyRecords) {
            FileProblem problem;
            problem.kind = FileProblem::Kind::Repaired;
            problem.file = kFileNames[kGlobal];
            problem.what = "was missing while the other files hold records; the settings start "
                           "from their defaults";
            ModError::LogError(kClass, "Load", 0, ErrorNumber::FileNotFound,
                               problem.file + " " + problem.what);
            problems_.push_back(std::move(problem));
        }
    }
}

bool ClsGlobal::FolderUsable(const std::optional<Error>& made) {
    const std::string& folder = folders_.Data();
    Presence found = FileIo::Probe(fs_, folder);
    FileProblem problem;
    problem.what = WhatOf(found);
    struct stat st {};
    if (found.state == Presence::State::Missing) {
        if (mode_ == StoreMode::ReadOnly) {
            return true; // nothing there to read, and nothing will be written
        }
        problem.what = "could not be made";
        problem.error = made ? *made : MakeError(ErrorNumber::FileNotFound);
    } else if (found.state == Presence::State::Unreachable) {
        problem.error = found.error;
    } else if (int rc = fs_.Stat(folder, st); rc < 0) {
        problem.error = ErrorFromErrno(-rc);
    } else if (!S_ISDIR(st.st_mode)) {
        problem.error = Error{ErrorNumber::PathFileAccess, "A file, not a folder"};
    } else if (int denied = fs_.Access(folder, X_OK); denied < 0) {
        problem.error = ErrorFromErrno(-denied);
    } else {
        return true;
    }
    ModError::LogError(kClass, "Load", 0, problem.error.number,
                       "The folder " + folder + " " + problem.what + " (" +
                           problem.error.description + ")");
    problems_.push_back(std::move(problem));
    return false;
}

void ClsGlobal::Unreadable(Kind kind, const Presence& found, const char* procName) {
    keepAsIs_[kind] = true;
    FileProblem problem{FileProblem::Kind::Unreadable, kFileNames[kind], WhatOf(found), "",
                        found.error};
    ModError::LogError(kClass, procName, 0, problem.error.number,
                       problem.file + " " + problem.what + " (" + problem.error.description + ")");
    problems_.push_back(std::move(problem));
}

// A linked file is written through its link; a save cut short there leaves its temporary
// copy beside the file the link leads to.
void ClsGlobal::Linked(Kind kind, const Presence& found) {
    writePath_[kind] = found.writePath;
    const std::string folder = FileIo::FolderOf(found.writePath);
    if (mode_ != StoreMode::ReadWrite || folder == folders_.Data()) {
        return;
    }
    const std::string name = found.writePath.substr(folder.size() + 1);
    for (const std::string& entry : fs_.List(folder)) {
        if (FileIo::IsTemporaryOf(entry, name)) {
            fs_.Unlink(folder + "/" + entry);
        }
    }
}

// Bookings whose resource is not there have no row to be shown on. They are kept as they are
// (the resource may come back with its file), and the user is told.
void ClsGlobal::NoteOrphans() {
    if (keepAsIs_[kResource] || keepAsIs_[kAppointment]) {
        return;
    }
    std::vector<int32_t> missing;
    for (const ClsAppointment& a : appointments_) {
        if (!resources_.Exists(a.ResourceId())) {
            missing.push_back(a.ResourceId());
        }
    }
    const size_t orphans = missing.size();
    if (orphans == 0) {
        return;
    }
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    std::string ids;
    for (size_t i = 0; i < missing.size() && i < 10; ++i) {
        ids += (i == 0 ? "" : ", ") + std::to_string(missing[i]);
    }
    if (missing.size() > 10) {
        ids += " and " + std::to_string(missing.size() - 10) + " more";
    }
    FileProblem problem;
    problem.kind = FileProblem::Kind::Noted;
    problem.file = kFileNames[kAppointment];
    problem.what =
        "holds " + Plural(orphans, "appointment", "appointments") + " of " +
        (missing.size() == 1 ? "a resource" : "resources") + " not in Resource.bin (id " + ids +
        "); the schedule has no row for " + (orphans == 1 ? "it" : "them") + ", and " +
        (orphans == 1 ? "it is" : "they are") + " kept as " + (orphans == 1 ? "it is" : "they are");
    ModError::LogError(kClass, "Load", 0, ErrorNumber::InvalidCall,
                       problem.file + " " + problem.what);
    problems_.push_back(std::move(problem));
}

void ClsGlobal::SweepTemporaries() {
    // Left by a save cut short between writing a temporary copy and renaming it.
    for (const std::string& name : fs_.List(folders_.Data())) {
        if (FileIo::IsOwnTemporary(name)) {
            fs_.Unlink(dataFolder_ + name);
        }
    }
}

void ClsGlobal::KeepFaulty(Kind kind, const ByteBlock& bytes, size_t size, const std::string& what,
                           const char* procName, int32_t number) {
    FileProblem problem;
    problem.kind = FileProblem::Kind::Repaired;
    problem.file = kFileNames[kind];
    problem.what = what;
    if (mode_ == StoreMode::ReadWrite) {
        // An earlier backup may hold bytes of its own: it is kept, and this one numbered.
        std::string backup = PathOf(kind) + ".bak";
        for (int n = 2; n < 10000 && FileIo::Exists(fs_, backup); ++n) {
            backup = PathOf(kind) + ".bak." + std::to_string(n);
        }
        auto copied =
            FileIo::WriteAtomic(fs_, backup, std::span<const std::byte>(bytes.data.get(), size));
        if (copied) {
            ModError::LogError(kClass, procName, *copied);
            keepAsIs_[kind] = true;
            problem.kind = FileProblem::Kind::Unreadable;
            problem.error = *copied;
            problem.what += "; no copy of it could be kept (" + copied->description + ")";
        } else {
            problem.backup = backup;
            dirty_[kind] = true;
        }
    }
    std::string line = problem.file + " " + problem.what;
    if (!problem.backup.empty()) {
        line += "; the file as it was is kept as " + problem.backup;
    }
    ModError::LogError(kClass, procName, 0, number, line);
    problems_.push_back(std::move(problem));
}

bool ClsGlobal::LoadGlobal() {
    Presence found = FileIo::Probe(fs_, PathOf(kGlobal));
    if (found.state == Presence::State::Missing) {
        return false;
    }
    if (found.state == Presence::State::Unreachable) {
        Unreadable(kGlobal, found, "Load");
        return true;
    }
    ByteBlock bytes;
    if (auto e = FileIo::ReadAll(fs_, PathOf(kGlobal), bytes)) {
        found.error = *e;
        Unreadable(kGlobal, found, "Load");
        return true;
    }
    if (!found.linkTarget.empty()) {
        Linked(kGlobal, found);
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data.get());
    global_.Overlay(data, bytes.size);
    if (bytes.size > GlobalRecord::Length) {
        const std::byte* tail = bytes.data.get() + GlobalRecord::Length;
        globalTail_.assign(tail, tail + (bytes.size - GlobalRecord::Length));
    }
    std::string what;
    int32_t number = 0;
    if (bytes.size < GlobalRecord::Length) {
        what = "was " + Plural(bytes.size, "byte", "bytes") + " long instead of " +
               std::to_string(GlobalRecord::Length) +
               "; the settings it did not hold are back to their defaults";
        number = ErrorNumber::BadRecordLength;
    }
    counter_ = global_.IdCounter();
    if (counter_ < 0) {
        what += std::string(what.empty() ? "" : "; it also ") + "held a negative id counter (" +
                std::to_string(counter_) + "), which starts again from the records' ids";
        number = number != 0 ? number : ErrorNumber::Overflow;
        counter_ = 0;
    }
    if (!what.empty()) {
        KeepFaulty(kGlobal, bytes, bytes.size, what, "Load", number);
    }
    return true;
}

template <class T>
void ClsGlobal::LoadFile(Collection<T>& collection, Kind kind, const char* procName) {
    std::string path = PathOf(kind);
    collection.Clear();
    keepAsIs_[kind] = false;
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        byResource_.Clear();
    }
    Presence found = FileIo::Probe(fs_, path);
    if (found.state == Presence::State::Missing) {
        if (mode_ == StoreMode::ReadWrite) {
            if (auto e = FileIo::EnsureFile(fs_, path)) {
                ModError::LogError(kClass, procName, *e);
            }
        }
        return;
    }
    if (found.state == Presence::State::Unreachable) {
        Unreadable(kind, found, procName);
        return;
    }
    ByteBlock bytes;
    if (auto e = FileIo::ReadAll(fs_, path, bytes)) {
        found.error = *e;
        Unreadable(kind, found, procName);
        return;
    }
    if (!found.linkTarget.empty()) {
        Linked(kind, found);
    }
    size_t whole = bytes.size / T::RecordLength;
    size_t trailing = bytes.size % T::RecordLength;
    auto adopted = collection.Adopt(bytes, whole, [] { Hooks::DoEvents(); });
    int32_t highest = 0;
    for (const T& record : collection) {
        highest = std::max(highest, record.Id());
        if constexpr (std::is_same_v<T, ClsAppointment>) {
            // An id a booking names stays taken even when its record is not there, or a new
            // record would take over bookings that were never its own.
            highest =
                std::max({highest, record.ResourceId(), record.CustomerId(), record.TypeId()});
        }
    }
    counter_ = std::max(counter_, highest);
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        byResource_.Build(appointments_);
    }

    std::vector<std::string> wrongs;
    int32_t number = 0;
    if (adopted.duplicates != 0) {
        wrongs.push_back("held " +
                         Plural(adopted.duplicates, "record whose id", "records whose ids") +
                         " came earlier in the file, left out");
        number = ErrorNumber::KeyExists;
    }
    if (adopted.zeroIds != 0) {
        wrongs.push_back("held " + Plural(adopted.zeroIds, "record", "records") +
                         " with id 0, left out");
        number = number != 0 ? number : ErrorNumber::InvalidCall;
    }
    if (trailing != 0) {
        wrongs.push_back("ended in " + Plural(trailing, "stray byte", "stray bytes") +
                         " after the last whole record, left out");
        number = number != 0 ? number : ErrorNumber::BadRecordLength;
    }
    if (!wrongs.empty()) {
        KeepFaulty(kind, bytes, bytes.size, Joined(wrongs), procName, number);
    }
}

void ClsGlobal::LoadResources() {
    LoadFile(resources_, kResource, "LoadResources");
}
void ClsGlobal::LoadCustomers() {
    ++customersVersion_;
    LoadFile(customers_, kCustomer, "LoadCustomers");
}
void ClsGlobal::LoadTypes() {
    LoadFile(types_, kType, "LoadTypes");
}
void ClsGlobal::LoadAppointments() {
    LoadFile(appointments_, kAppointment, "LoadAppointments");
}

// Links are only as good as the bookings they name: without Appointment.bin they are not
// read, and never written, this session; a link to a booking that is not there is left out.
void ClsGlobal::LoadSeries() {
    series_.Clear();
    keepAsIs_[kSeries] = false;
    const std::string path = PathOf(kSeries);
    Presence found = FileIo::Probe(fs_, path);
    if (found.state == Presence::State::Missing) {
        // The bookings stand alone.
        if (mode_ == StoreMode::ReadWrite) {
            if (auto e = FileIo::EnsureFile(fs_, path)) {
                ModError::LogError(kClass, "LoadSeries", *e);
            }
        }
        return;
    }
    if (found.state == Presence::State::Unreachable) {
        Unreadable(kSeries, found, "LoadSeries");
        return;
    }
    if (keepAsIs_[kAppointment]) {
        keepAsIs_[kSeries] = true;
        return;
    }
    ByteBlock bytes;
    if (auto e = FileIo::ReadAll(fs_, path, bytes)) {
        found.error = *e;
        Unreadable(kSeries, found, "LoadSeries");
        return;
    }
    if (!found.linkTarget.empty()) {
        Linked(kSeries, found);
    }
    const SeriesLinks::Faults faults =
        series_.Read(std::span<const std::byte>(bytes.data.get(), bytes.size));
    counter_ = std::max(counter_, series_.HighestSeries());
    // A save cut short between Appointment.bin and Series.bin leaves links to bookings that
    // are gone: expected, not damage. They are dropped and the file written again, so that no
    // later booking given the same id could take one over.
    size_t orphans = 0;
    for (int32_t id : series_.Linked()) {
        if (!appointments_.Exists(id)) {
            series_.Set(id, 0);
            ++orphans;
        }
    }
    if (orphans != 0) {
        dirty_[kSeries] = mode_ == StoreMode::ReadWrite;
        ModError::LogError(kClass, "LoadSeries", 0, ErrorNumber::InvalidCall,
                           std::string(kFileNames[kSeries]) + " held " +
                               Plural(orphans, "link", "links") +
                               " to appointments not in Appointment.bin, left out");
    }
    std::vector<std::string> wrongs;
    int32_t number = 0;
    if (faults.duplicates != 0) {
        wrongs.push_back("linked " + Plural(faults.duplicates, "appointment", "appointments") +
                         " a second time, left out");
        number = ErrorNumber::KeyExists;
    }
    if (faults.invalid != 0) {
        wrongs.push_back("held " + Plural(faults.invalid, "link", "links") +
                         " with an id of 0 or below, left out");
        number = number != 0 ? number : ErrorNumber::InvalidCall;
    }
    if (faults.strayBytes != 0) {
        wrongs.push_back("ended in " + Plural(faults.strayBytes, "stray byte", "stray bytes") +
                         " after the last whole link, left out");
        number = number != 0 ? number : ErrorNumber::BadRecordLength;
    }
    if (!wrongs.empty()) {
        KeepFaulty(kSeries, bytes, bytes.size, Joined(wrongs), "LoadSeries", number);
    }
}

FileImage ClsGlobal::ImageOf(Kind kind) {
    switch (kind) {
    case kResource:
        return resources_.Image(writePath_[kind]);
    case kCustomer:
        return customers_.Image(writePath_[kind]);
    case kType:
        return types_.Image(writePath_[kind]);
    case kAppointment:
        return appointments_.Image(writePath_[kind]);
    case kSeries: {
        FileImage image;
        image.path = writePath_[kind];
        image.owned = series_.Bytes();
        return image;
    }
    default:
        return GlobalImage();
    }
}

size_t ClsGlobal::RecordLengthOf(Kind kind) {
    return kind == kType ? ClsType::RecordLength : ClsResource::RecordLength;
}

size_t ClsGlobal::RemovedCount(Kind kind) const {
    return removed_[kind].size() / RecordLengthOf(kind);
}

FileImage ClsGlobal::ImageWithRemoved(Kind kind) {
    FileImage image = ImageOf(kind);
    const size_t length = RecordLengthOf(kind);
    const std::vector<std::byte>& removed = removed_[kind];
    for (size_t at = 0; at + length <= removed.size(); at += length) {
        int32_t id = 0;
        std::memcpy(&id, removed.data() + at, sizeof id);
        bool present = kind == kCustomer   ? customers_.Exists(id)
                       : kind == kResource ? resources_.Exists(id)
                                           : types_.Exists(id);
        if (!present) { // saved again under its old id: the live record stands for it
            image.owned.insert(image.owned.end(), removed.begin() + static_cast<std::ptrdiff_t>(at),
                               removed.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
    }
    return image;
}

FileImage ClsGlobal::GlobalImage() {
    global_.SetIdCounter(counter_);
    FileImage image;
    image.path = writePath_[kGlobal];
    const auto& record = global_.Bytes();
    image.owned.resize(record.size() + globalTail_.size());
    std::memcpy(image.owned.data(), record.data(), record.size());
    std::copy(globalTail_.begin(), globalTail_.end(), image.owned.begin() + record.size());
    return image;
}

bool ClsGlobal::HasPendingChanges() const {
    if (mode_ != StoreMode::ReadWrite) {
        return false;
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (dirty_[kind] && !keepAsIs_[kind]) {
            return true;
        }
    }
    return false;
}

SavePlan ClsGlobal::TakePendingChanges() {
    SavePlan plan;
    plan.folder = folders_.Data();
    if (mode_ != StoreMode::ReadWrite) {
        return plan;
    }
    auto pending = [this](Kind kind) { return dirty_[kind] && !keepAsIs_[kind]; };
    auto take = [&](Kind kind, FileImage image, size_t removedWritten) {
        plan.files.push_back(std::move(image));
        plan.kinds.push_back(kind);
        plan.removedWritten.push_back(removedWritten);
        dirty_[kind] = false;
    };
    // The files of the records bookings name go before Appointment.bin, so that no booking
    // reaches the disk ahead of its resource, customer or type. One that lost records goes
    // there with them still in, and again without them after Appointment.bin, so deleted
    // records leave the disk only after their bookings have. Global.bin with the id counter
    // goes last; the load also counts the ids the records name, so no id is handed out
    // twice whichever rename was the last.
    const bool appointments = pending(kAppointment);
    std::vector<Kind> shrinking;
    for (Kind kind : {kCustomer, kResource, kType}) {
        if (!pending(kind)) {
            continue;
        }
        if (appointments && RemovedCount(kind) != 0) {
            take(kind, ImageWithRemoved(kind), 0);
            shrinking.push_back(kind);
        } else {
            take(kind, ImageOf(kind), RemovedCount(kind));
        }
    }
    if (appointments) {
        take(kAppointment, ImageOf(kAppointment), 0);
    }
    // After the bookings it links: a save cut short between the two leaves bookings out of
    // their series, or links to bookings that are gone, which the load drops.
    if (pending(kSeries)) {
        take(kSeries, ImageOf(kSeries), 0);
    }
    for (Kind kind : shrinking) {
        take(kind, ImageOf(kind), RemovedCount(kind));
    }
    if (pending(kGlobal)) {
        take(kGlobal, ImageOf(kGlobal), 0);
    }
    return plan;
}

namespace {
// A file's last image in the plan is the one whose outcome counts.
bool LastOfItsFile(const SavePlan& plan, size_t i) {
    return std::find(plan.kinds.begin() + static_cast<std::ptrdiff_t>(i) + 1, plan.kinds.end(),
                     plan.kinds[i]) == plan.kinds.end();
}
} // namespace

SaveResult ClsGlobal::WriteFailed(const SavePlan& plan, const BatchResult& result) {
    SaveResult failed;
    for (size_t i = 0; i < plan.files.size() && i < result.errors.size(); ++i) {
        const auto kind = static_cast<Kind>(plan.kinds[i]);
        if (!result.errors[i]) {
            if (LastOfItsFile(plan, i) && i < plan.removedWritten.size()) {
                auto& removed = removed_[kind];
                size_t bytes =
                    std::min(removed.size(), plan.removedWritten[i] * RecordLengthOf(kind));
                removed.erase(removed.begin(),
                              removed.begin() + static_cast<std::ptrdiff_t>(bytes));
            }
            continue;
        }
        dirty_[kind] = true;
        if (LastOfItsFile(plan, i)) {
            failed.failedFiles.push_back(kFileNames[kind]);
            failed.errors.push_back(*result.errors[i]);
        }
    }
    return failed;
}

SaveResult ClsGlobal::Save() {
    SavePlan plan = TakePendingChanges();
    BatchResult written = plan.Write(fs_);
    if (written.folderSync) {
        ModError::LogError("FileIo", "WriteBatch", *written.folderSync);
    }
    SaveResult result = WriteFailed(plan, written);
    for (size_t i = 0; i < plan.files.size(); ++i) {
        if (written.errors[i] && LastOfItsFile(plan, i)) {
            ModError::LogError(kClass, kSaveProcs[plan.kinds[i]], *written.errors[i]);
        }
    }
    return result;
}

bool ClsGlobal::SaveOne(Kind kind, const char* procName) {
    if (keepAsIs_[kind] || mode_ != StoreMode::ReadWrite) {
        // Never replace a file whose records are not what memory holds.
        ModError::LogError(kClass, procName, MakeError(ErrorNumber::PathFileAccess));
        return false;
    }
    SavePlan plan;
    plan.folder = folders_.Data();
    plan.files.push_back(ImageOf(kind));
    plan.kinds.push_back(kind);
    BatchResult written = plan.Write(fs_);
    if (written.errors.front()) {
        ModError::LogError(kClass, procName, *written.errors.front());
        return false;
    }
    dirty_[kind] = false;
    removed_[kind].clear();
    return true;
}

bool ClsGlobal::SaveResources() {
    return SaveOne(kResource, "SaveResources");
}
bool ClsGlobal::SaveCustomers() {
    return SaveOne(kCustomer, "SaveCustomers");
}
bool ClsGlobal::SaveTypes() {
    return SaveOne(kType, "SaveTypes");
}
bool ClsGlobal::SaveAppointments() {
    return SaveOne(kAppointment, "SaveAppointments");
}
