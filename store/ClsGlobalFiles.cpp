// Loading and saving the store: the record files and Global.bin.
#include <type_traits>

#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/Hooks.h"
#include "store/ModError.h"
#include "store/RecordFile.h"

namespace {
constexpr const char* kClass = "ClsGlobal";
constexpr const char* kFileNames[] = {"Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin",
                                      "Global.bin"};
// Letting events run costs more than reading a record, so it happens every few thousand.
constexpr size_t kRecordsBetweenEvents = 4096;
} // namespace

ClsGlobal::ClsGlobal(std::string programFolder)
    : programFolder_(std::move(programFolder)), dataFolder_(DataFolderOf(programFolder_) + "/") {
    Load();
}

std::string ClsGlobal::PathOf(Kind kind) const {
    return dataFolder_ + kFileNames[kind];
}

void ClsGlobal::Load() {
    FileIo::EnsureFolder(DataFolderOf(programFolder_)); // a failure shows up at each file
    counter_ = 0;
    faulty_.fill(false);
    unreadable_.fill(false);
    global_ = GlobalRecord();
    std::string path = PathOf(kGlobal);
    if (FileIo::Exists(path)) {
        firstRun_ = false;
        std::vector<uint8_t> bytes;
        if (auto e = FileIo::ReadAll(path, bytes)) {
            ModError::LogError(kClass, "Load", *e);
            unreadable_[kGlobal] = true;
        } else {
            global_.Overlay(bytes.data(), bytes.size());
            counter_ = global_.IdCounter();
        }
    } else {
        firstRun_ = true;
    }
    LoadResources();
    LoadCustomers();
    LoadTypes();
    LoadAppointments();
}

template <class T>
void ClsGlobal::LoadFile(Collection<T>& collection, Kind kind, const char* procName) {
    std::string path = PathOf(kind);
    collection.Clear();
    faulty_[kind] = false;
    unreadable_[kind] = false;
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        byResource_.clear();
    }
    if (!FileIo::Exists(path)) {
        if (auto e = FileIo::EnsureFile(path)) {
            ModError::LogError(kClass, procName, *e);
        }
        return;
    }
    std::vector<uint8_t> bytes;
    if (auto e = FileIo::ReadAll(path, bytes)) {
        ModError::LogError(kClass, procName, *e);
        unreadable_[kind] = true;
        return;
    }
    RecordFile file(T::RecordLength);
    file.Assign(std::move(bytes));
    collection.Reserve(file.WholeRecords());
    faulty_[kind] = file.TrailingBytes() != 0;
    for (size_t n = 1;; ++n) {
        if (n % kRecordsBetweenEvents == 0) {
            Hooks::DoEvents();
        }
        std::shared_ptr<T> record;
        if constexpr (std::is_same_v<T, ClsAppointment>) {
            record = std::make_shared<T>(ClsAppointment::Blank{});
        } else {
            record = std::make_shared<T>();
        }
        record->Load(file);
        if (file.Eof()) {
            break;
        }
        int32_t id = record->Id();
        if (id == 0) {
            faulty_[kind] = true;
            continue;
        }
        bool added;
        if constexpr (std::is_same_v<T, ClsAppointment>) {
            added = AddAppointment(std::move(record));
        } else {
            added = collection.Add(std::move(record));
        }
        if (!added) {
            // A duplicate costs only itself: the rest of the file still loads.
            ModError::LogError(kClass, procName, MakeError(ErrorNumber::KeyExists));
            faulty_[kind] = true;
            continue;
        }
        RaiseCounterTo(id);
    }
    if constexpr (std::is_same_v<T, ClsAppointment>) {
        for (auto& [resourceId, list] : byResource_) {
            list.shrink_to_fit();
        }
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

// A file that did not load whole and clean is kept as ".bak" before it is replaced; if
// that copy fails, the file is not replaced at all.
bool ClsGlobal::BackUpIfFaulty(Kind kind, const char* procName) {
    std::string path = PathOf(kind);
    if (!faulty_[kind] || !FileIo::Exists(path)) {
        return true;
    }
    // An earlier backup may hold bytes of its own: it is kept, and this one numbered.
    std::string backup = path + ".bak";
    for (int n = 2; FileIo::Exists(backup); ++n) {
        backup = path + ".bak." + std::to_string(n);
    }
    if (auto e = FileIo::CopyAtomic(path, backup)) {
        ModError::LogError(kClass, procName, *e);
        return false;
    }
    return true;
}

// The store never replaces a file it could not read: its records are not in memory.
bool ClsGlobal::Unreadable(Kind kind, const char* procName) const {
    if (!unreadable_[kind]) {
        return false;
    }
    ModError::LogError(kClass, procName, MakeError(ErrorNumber::PathFileAccess));
    return true;
}

template <class T>
bool ClsGlobal::SaveFile(const Collection<T>& collection, Kind kind, const char* procName) {
    if (Unreadable(kind, procName) || !BackUpIfFaulty(kind, procName)) {
        return false;
    }
    RecordFile file(T::RecordLength);
    file.Reserve(collection.Count());
    for (const auto& record : collection) {
        record->Save(file);
    }
    const auto& bytes = file.Bytes();
    if (auto e = FileIo::WriteAtomic(PathOf(kind), bytes.data(), bytes.size())) {
        ModError::LogError(kClass, procName, *e);
        return false;
    }
    faulty_[kind] = false;
    return true;
}

bool ClsGlobal::SaveResources() {
    return SaveFile(resources_, kResource, "SaveResources");
}
bool ClsGlobal::SaveCustomers() {
    return SaveFile(customers_, kCustomer, "SaveCustomers");
}
bool ClsGlobal::SaveTypes() {
    return SaveFile(types_, kType, "SaveTypes");
}
bool ClsGlobal::SaveAppointments() {
    return SaveFile(appointments_, kAppointment, "SaveAppointments");
}

bool ClsGlobal::SaveGlobal() {
    std::string path = PathOf(kGlobal);
    if (Unreadable(kGlobal, "Save")) {
        return false;
    }
    global_.SetIdCounter(counter_);
    std::vector<uint8_t> bytes(global_.Bytes().begin(), global_.Bytes().end());
    // Bytes past the record in an older, longer file stay as they were.
    if (FileIo::Exists(path)) {
        std::vector<uint8_t> old;
        if (auto e = FileIo::ReadAll(path, old)) {
            ModError::LogError(kClass, "Save", *e);
            return false;
        }
        if (old.size() > GlobalRecord::Length) {
            bytes.insert(bytes.end(), old.begin() + GlobalRecord::Length, old.end());
        }
    }
    if (auto e = FileIo::WriteAtomic(path, bytes.data(), bytes.size())) {
        ModError::LogError(kClass, "Save", *e);
        return false;
    }
    return true;
}

SaveResult ClsGlobal::Save() {
    SaveResult result;
    if (auto e = FileIo::EnsureFolder(DataFolderOf(programFolder_))) {
        ModError::LogError(kClass, "Save", *e);
    }
    if (!SaveGlobal()) {
        result.failedFiles.push_back(kFileNames[kGlobal]);
    }
    bool saved[] = {SaveResources(), SaveCustomers(), SaveTypes(), SaveAppointments()};
    for (int kind = kResource; kind <= kAppointment; ++kind) {
        if (!saved[kind]) {
            result.failedFiles.push_back(kFileNames[kind]);
        }
    }
    return result;
}
