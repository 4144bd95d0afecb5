// Loading and saving the store: the record files and Global.bin.
#include <algorithm>
#include <bit>
#include <type_traits>

#include "store/ClsGlobal.h"
#include "store/FileSystem.h"
#include "store/Hooks.h"
#include "store/ModError.h"

static_assert(std::endian::native == std::endian::little,
              "records are held as the files hold them: little-endian");

namespace {
constexpr const char* kClass = "ClsGlobal";
constexpr const char* kFileNames[] = {"Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin",
                                      "Global.bin"};
constexpr const char* kSaveProcs[] = {"SaveResources", "SaveCustomers", "SaveTypes",
                                      "SaveAppointments", "Save"};

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
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
    return FileIo::WriteBatch(fs, folder, files);
}

ClsGlobal::ClsGlobal(ProgramFolders folders, FileSystem& fs, StoreMode mode)
    : folders_(std::move(folders)), fs_(fs), mode_(mode), dataFolder_(folders_.Data() + "/") {
    Load();
}

std::string ClsGlobal::PathOf(Kind kind) const {
    return dataFolder_ + kFileNames[kind];
}

void ClsGlobal::Load() {
    bool writable = mode_ == StoreMode::ReadWrite;
    if (writable) {
        FileIo::EnsureFolder(fs_, folders_.Data()); // a failure shows up at each file
        SweepTemporaries();
    }
    counter_ = 0;
    unusedCursor_ = 1;
    problems_.clear();
    dirty_.fill(false);
    keepAsIs_.fill(false);
    global_ = GlobalRecord();
    globalTail_.clear();
    bool globalPresent = FileIo::Exists(fs_, PathOf(kGlobal));
    if (globalPresent) {
        LoadGlobal();
    }
    LoadResources();
    LoadCustomers();
    LoadTypes();
    LoadAppointments();
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
        for (int n = 2; FileIo::Exists(fs_, backup); ++n) {
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

void ClsGlobal::LoadGlobal() {
    ByteBlock bytes;
    if (auto e = FileIo::ReadAll(fs_, PathOf(kGlobal), bytes)) {
        ModError::LogError(kClass, "Load", *e);
        keepAsIs_[kGlobal] = true;
        problems_.push_back(
            {FileProblem::Kind::Unreadable, kFileNames[kGlobal], "could not be read", "", *e});
        return;
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
}

template <class T>
void ClsGlobal::LoadFile(Collection<T>& collection, Kind kind, const char* procName) {
    std::string path = PathOf(kind);
    collection.Clear();
    keepAsIs_[kind] = false;
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        byResource_.Clear();
    }
    if (!FileIo::Exists(fs_, path)) {
        if (mode_ == StoreMode::ReadWrite) {
            if (auto e = FileIo::EnsureFile(fs_, path)) {
                ModError::LogError(kClass, procName, *e);
            }
        }
        return;
    }
    ByteBlock bytes;
    if (auto e = FileIo::ReadAll(fs_, path, bytes)) {
        ModError::LogError(kClass, procName, *e);
        keepAsIs_[kind] = true;
        problems_.push_back(
            {FileProblem::Kind::Unreadable, kFileNames[kind], "could not be read", "", *e});
        return;
    }
    size_t whole = bytes.size / T::RecordLength;
    size_t trailing = bytes.size % T::RecordLength;
    auto adopted = collection.Adopt(bytes, whole, [] { Hooks::DoEvents(); });
    int32_t highest = 0;
    for (const T& record : collection) {
        highest = std::max(highest, record.Id());
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
        wrongs.push_back("ended in " + Plural(trailing, "byte", "bytes") +
                         " short of a whole record, left out");
        number = number != 0 ? number : ErrorNumber::BadRecordLength;
    }
    if (!wrongs.empty()) {
        std::string what;
        for (const std::string& w : wrongs) {
            what += (what.empty() ? "" : "; it ") + w;
        }
        KeepFaulty(kind, bytes, bytes.size, what, procName, number);
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

FileImage ClsGlobal::ImageOf(Kind kind) {
    switch (kind) {
    case kResource:
        return resources_.Image(PathOf(kind));
    case kCustomer:
        return customers_.Image(PathOf(kind));
    case kType:
        return types_.Image(PathOf(kind));
    case kAppointment:
        return appointments_.Image(PathOf(kind));
    default:
        return GlobalImage();
    }
}

FileImage ClsGlobal::GlobalImage() {
    global_.SetIdCounter(counter_);
    FileImage image;
    image.path = PathOf(kGlobal);
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
    // Records a file refers to go first, Global.bin with the id counter last, so a write cut
    // short between two renames never leaves an id handed out twice.
    for (Kind kind : {kCustomer, kResource, kType, kAppointment, kGlobal}) {
        if (!dirty_[kind] || keepAsIs_[kind]) {
            continue;
        }
        plan.files.push_back(ImageOf(kind));
        plan.kinds.push_back(kind);
        dirty_[kind] = false;
    }
    return plan;
}

SaveResult ClsGlobal::WriteFailed(const SavePlan& plan, const BatchResult& result) {
    SaveResult failed;
    for (size_t i = 0; i < plan.files.size() && i < result.errors.size(); ++i) {
        if (result.errors[i]) {
            dirty_[plan.kinds[i]] = true;
            failed.failedFiles.push_back(kFileNames[plan.kinds[i]]);
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
        if (written.errors[i]) {
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
