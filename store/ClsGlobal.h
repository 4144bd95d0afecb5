#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/Collection.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "store/GlobalRecord.h"
#include "store/ProgramFolders.h"
#include "store/ResourceIndex.h"
#include "store/SeriesLinks.h"
#include "store/StoreObserver.h"

// A data file the store could not take as it found it.
struct FileProblem {
    enum class Kind {
        Unreadable, // not read at all: it is left as it is and never written
        Repaired,   // read, with something left out or reset; the file is rewritten clean
        Noted,      // read and kept as it is, but the user should know
    };
    Kind kind = Kind::Unreadable;
    std::string file;   // "Appointment.bin"; empty for the data folder itself
    std::string what;   // what was wrong, in words
    std::string backup; // where the file as it was is kept; empty when no copy was made
    Error error;        // why an unreadable file could not be read
};

// What a write could not do: the files that keep their previous contents, and why.
struct SaveResult {
    std::vector<std::string> failedFiles;
    std::vector<Error> errors;
    bool Ok() const { return failedFiles.empty(); }
};

// The new contents of every file changed since it was last written, taken at one moment.
// Writing it needs nothing of the store, so it may run on another thread while the store
// goes on changing.
struct SavePlan {
    std::string folder;
    // In the order of the renames; a file may come twice (see TakePendingChanges).
    std::vector<FileImage> files;
    std::vector<int> kinds; // the store's file kind of each image
    // Deleted records that each image leaves out for good: forgotten once it is written.
    std::vector<size_t> removedWritten;

    bool Empty() const { return files.empty(); }
    BatchResult Write(FileSystem& fs) const;
};

enum class StoreMode {
    ReadWrite,
    // Reads the files and never writes, creates or removes anything in the folder.
    ReadOnly,
};

// The program's one data store. Creating it loads Data/ into memory; every change marks
// the files it touches, and the owner writes those (TakePendingChanges, Save) when it sees
// fit.
class ClsGlobal {
public:
    explicit ClsGlobal(ProgramFolders folders, FileSystem& fs = FileSystem::Real(),
                       StoreMode mode = StoreMode::ReadWrite);
    ClsGlobal(const ClsGlobal&) = delete;
    ClsGlobal& operator=(const ClsGlobal&) = delete;

    // Never below 1. When the counter has reached its limit, an id no record holds.
    int32_t NextId();

    int32_t Color(int index) const { return global_.Color(index); }
    bool Option(int index) const { return global_.Option(index); }
    int32_t DateFormat() const { return global_.DateFormat(); }
    std::string ResourceType() const { return global_.ResourceType(); }
    int16_t PrintOrientation() const { return global_.PrintOrientation(); }
    int16_t PreviewViewType() const { return global_.PreviewViewType(); }
    int16_t PrintPageSize() const { return global_.PrintPageSize(); }
    int16_t PreviewZoom() const { return global_.PreviewZoom(); }
    void SetColor(int index, int32_t v);
    void SetOption(int index, bool v);
    void SetDateFormat(int32_t v);
    void SetResourceType(std::string_view v);
    void SetPrintOrientation(int16_t v);
    void SetPreviewViewType(int16_t v);
    void SetPrintPageSize(int16_t v);
    void SetPreviewZoom(int16_t v);

    bool CheckForOverlap(int32_t id, int32_t resourceId, int32_t startDtTm, int32_t endDtTm) const;
    // The first appointment, in collection order, that CheckForOverlap finds in the way; 0
    // when there is none.
    int32_t OverlappingAppointment(int32_t id, int32_t resourceId, int32_t startDtTm,
                                   int32_t endDtTm) const;

    // Lookups return the stored record, or a fresh one with creation defaults and Id 0.
    std::shared_ptr<const ClsAppointment> AppointmentLoad(int32_t id) const;
    // Returns the id stored under (also left in id), -1 on a collision, 0 on a failure.
    int32_t AppointmentSave(int32_t& id, int32_t customerId, int32_t resourceId, int32_t typeId,
                            int32_t startDtTm, int32_t endDtTm, std::string_view reference);
    bool AppointmentDelete(int32_t id);
    // Deletes the appointments one after the other in the order given, each as
    // AppointmentDelete would (ids not stored are passed over), but filters each resource's
    // index once for all of them, so the cost follows the number deleted rather than that
    // times the resource's bookings. A failure stops it: those deleted before stay deleted
    // and the index still matches the records. Returns how many were deleted.
    size_t AppointmentsDelete(std::span<const int32_t> ids);
    bool SaveAppointments();
    void LoadAppointments();

    std::shared_ptr<const ClsCustomer> CustomerLoad(int32_t id) const;
    int32_t CustomerSave(int32_t& id, std::string_view name);
    bool CustomerDelete(int32_t id);
    bool SaveCustomers();
    void LoadCustomers();

    std::shared_ptr<const ClsResource> ResourceLoad(int32_t id) const;
    int32_t ResourceSave(int32_t& id, std::string_view name);
    bool ResourceDelete(int32_t id);
    bool SaveResources();
    void LoadResources();

    std::shared_ptr<const ClsType> TypeLoad(int32_t id) const;
    int32_t TypeSave(int32_t& id, std::string_view name, int32_t backColor, int32_t foreColor,
                     int32_t minTime, int32_t maxTime, int32_t incTime);
    bool TypeDelete(int32_t id);
    bool SaveTypes();
    void LoadTypes();

    // The series an appointment was booked in (0 for none), and a series' appointments
    // ordered by start, then id. An appointment that leaves the store leaves its series.
    int32_t SeriesOf(int32_t appointmentId) const { return series_.SeriesOf(appointmentId); }
    std::vector<int32_t> SeriesMembers(int32_t seriesId) const;
    size_t SeriesSize(int32_t seriesId) const { return series_.Members(seriesId).size(); }
    // Links a stored appointment to a series, or takes it out with 0. False when the
    // appointment is not stored (taking out always succeeds).
    bool SetSeries(int32_t appointmentId, int32_t seriesId);
    const SeriesLinks& Series() const { return series_; }

    // Writes every file with changes not yet written, and waits; a file that fails keeps
    // its old contents, stays pending and is logged.
    SaveResult Save();
    void Load();

    // For taking a change back and doing it again: records leave and come back exactly as
    // they were, where they were in their file, and nothing follows from it (no cascade, no
    // new id). Unstore removes the records with these ids; Restore puts records back by
    // their order numbers (Collection::OrderOf), leaving out ids present. Both return how
    // many they moved. Neither checks for collisions: the caller does.
    template <class T> size_t Unstore(std::span<const int32_t> ids);
    template <class T> size_t Restore(std::span<const T> records, std::span<const uint64_t> orders);
    int32_t IdCounter() const { return counter_; }
    void SetIdCounter(int32_t value);

    // Global.bin was missing and no record file held a record: a new user.
    bool FirstRun() const { return firstRun_; }
    // The files the last Load could not take as it found them.
    const std::vector<FileProblem>& LoadProblems() const { return problems_; }

    // Told of every change of a record, a setting or the id counter (not of Load); one
    // observer at a time, normally the StoreChanges. Returns the one told until now.
    StoreObserver* SetObserver(StoreObserver* observer) {
        return std::exchange(observer_, observer);
    }
    // True when some file that can be written has changes not yet written.
    bool HasPendingChanges() const;
    // Takes the bytes of every file with pending changes and counts them as written; the
    // write's result goes back to WriteFailed. The renames are ordered so that a write cut
    // short between any two of them leaves no booking whose resource, customer or type is
    // not on disk, and no id the next run could hand out again.
    SavePlan TakePendingChanges();
    // The files of the plan that failed are pending again.
    SaveResult WriteFailed(const SavePlan& plan, const BatchResult& result);

    const Collection<ClsResource>& Resources() const { return resources_; }
    const Collection<ClsCustomer>& Customers() const { return customers_; }
    const Collection<ClsType>& Types() const { return types_; }
    const Collection<ClsAppointment>& Appointments() const { return appointments_; }
    // The collection of a kind of record.
    template <class T> const Collection<T>& Records() const {
        return const_cast<ClsGlobal*>(this)->CollectionOf<T>();
    }

    // The appointments of one resource, in collection order.
    std::span<const ResourceSlot> AppointmentsOfResource(int32_t resourceId) const;

    const ProgramFolders& Folders() const { return folders_; }
    FileSystem& Files() const { return fs_; }

    // Changes whenever a customer is saved, deleted or loaded, so views can keep what
    // they derived from customers until it does.
    uint64_t CustomersVersion() const { return customersVersion_; }

private:
    enum Kind { kResource, kCustomer, kType, kAppointment, kGlobal, kSeries, kKindCount };

    template <class T> void LoadFile(Collection<T>& collection, Kind kind, const char* procName);
    void LoadOnce();
    // False (and the user told) when the data folder cannot be used at all.
    bool FolderUsable(const std::optional<Error>& made);
    // Identity of each file (device, inode, size, times), to see whether any was replaced.
    std::vector<int64_t> Identities();
    FileImage ImageOf(Kind kind);
    // The file as written, with the records deleted since then still in it.
    FileImage ImageWithRemoved(Kind kind);
    // Keeps a copy of a record about to be deleted, for ImageWithRemoved.
    template <class T> void KeepRemoved(Kind kind, const T& record) {
        static_assert(sizeof(T) == T::RecordLength);
        if (mode_ == StoreMode::ReadWrite) {
            const auto* bytes = reinterpret_cast<const std::byte*>(&record);
            removed_[kind].insert(removed_[kind].end(), bytes, bytes + sizeof(T));
        }
    }
    size_t RemovedCount(Kind kind) const;
    static size_t RecordLengthOf(Kind kind);
    FileImage GlobalImage();
    bool SaveOne(Kind kind, const char* procName);
    // False when Global.bin is not there at all.
    bool LoadGlobal();
    void Unreadable(Kind kind, const Presence& found, const char* procName);
    void NoteOrphans();
    void Linked(Kind kind, const Presence& found);
    // Keeps the bytes of a file that is about to be repaired, and says what was wrong.
    void KeepFaulty(Kind kind, const ByteBlock& bytes, size_t size, const std::string& what,
                    const char* procName, int32_t number);
    void SweepTemporaries();
    void Changed(Kind kind);
    void GlobalChanged();
    void CounterChanged(int32_t before);
    template <class T> Collection<T>& CollectionOf() {
        if constexpr (std::is_same_v<T, ClsResource>) {
            return resources_;
        } else if constexpr (std::is_same_v<T, ClsCustomer>) {
            return customers_;
        } else if constexpr (std::is_same_v<T, ClsType>) {
            return types_;
        } else {
            return appointments_;
        }
    }
    template <class T> static constexpr Kind KindOf();
    // Removes a stored record and tells the observer.
    template <class T> void Take(Collection<T>& collection, Kind kind, const T& stored);
    // Steps 2 to 4 of every save but the appointment's: replace or allocate, fill, append.
    template <class T, class Fill>
    int32_t SaveRecord(Collection<T>& collection, Kind kind, int32_t& id, const char* procName,
                       Fill fill);
    void RaiseCounterTo(int32_t id);
    int32_t UnusedId();
    int32_t AllocateId(int32_t& id);
    bool IdInUse(int32_t id) const;
    bool AddAppointment(const ClsAppointment& record);
    // AppointmentsDelete; unlink false keeps their series links, for a save that replaces.
    size_t RemoveAppointments(std::span<const int32_t> ids, bool unlink);
    void LoadSeries();
    std::string PathOf(Kind kind) const;

    ProgramFolders folders_;
    FileSystem& fs_;
    StoreMode mode_;
    std::string dataFolder_;
    int32_t counter_ = 0;
    int32_t unusedCursor_ = 1;
    uint64_t customersVersion_ = 0;
    GlobalRecord global_;
    // Bytes past the record in an older, longer Global.bin; written back as they came.
    std::vector<std::byte> globalTail_;
    bool firstRun_ = false;
    std::vector<FileProblem> problems_;
    std::array<bool, kKindCount> dirty_{};
    // Files that could not be read, or not be kept before a repair: never written.
    std::array<bool, kKindCount> keepAsIs_{};
    // Where each file is replaced: its own path, or the file its link leads to.
    std::array<std::string, kKindCount> writePath_;
    // Records of customers, resources and types deleted since their file was last written,
    // as their file holds them.
    std::array<std::vector<std::byte>, kKindCount> removed_;
    StoreObserver* observer_ = nullptr;

    Collection<ClsResource> resources_;
    Collection<ClsCustomer> customers_;
    Collection<ClsType> types_;
    Collection<ClsAppointment> appointments_;
    ResourceIndex byResource_;
    SeriesLinks series_;
};
