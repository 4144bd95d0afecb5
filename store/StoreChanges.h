#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/ChangeSet.h"
#include "store/ClsGlobal.h"
#include "store/EditStep.h"
#include "store/StoreObserver.h"

// The one way records and settings change. Its operations are the store's, with the same
// arguments and results; whoever holds the store only as const can change it only here.
// Each operation, or each Batch, is told to the listeners as one ChangeSet once it is done,
// also when it failed part way (then with what it did change).
//
// The store tells it every change it makes, so a change made on the store directly is told
// too, but step by step while the store's operation is under way (a save as a removal and an
// add): only tests and benchmarks hold the store writable.
class StoreChanges final : private StoreObserver {
public:
    using Listener = std::function<void(const ChangeSet&)>;

    // Until it is reset or destroyed, its listener is told every change set. It may outlive
    // the StoreChanges.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription() { Reset(); }
        void Reset();

    private:
        friend class StoreChanges;
        struct Entry {
            Listener listener;
            bool active = true;
        };
        using Entries = std::vector<std::shared_ptr<Entry>>;
        std::weak_ptr<Entries> entries_;
        std::shared_ptr<Entry> entry_;
    };

    // One per store: a second one on the same store is refused (std::logic_error).
    explicit StoreChanges(ClsGlobal& store);
    StoreChanges(const StoreChanges&) = delete;
    StoreChanges& operator=(const StoreChanges&) = delete;
    ~StoreChanges() override;

    const ClsGlobal& Store() const { return store_; }

    // Listeners are told in the order they subscribed. A change a listener makes while it is
    // told is told to all after the one in hand. A listener that throws does not keep the
    // others from being told; the first exception comes out of the operation afterwards.
    [[nodiscard]] Subscription Subscribe(Listener listener);

    // Everything changed inside is told as one change set (batches may nest).
    void Batch(const std::function<void()>& changes);
    // The same, with the name of what the user did; an enclosing batch's name wins.
    void Batch(std::string_view what, const std::function<void()>& changes);

    int32_t AppointmentSave(int32_t& id, int32_t customerId, int32_t resourceId, int32_t typeId,
                            int32_t startDtTm, int32_t endDtTm, std::string_view reference);
    bool AppointmentDelete(int32_t id);
    size_t AppointmentsDelete(std::span<const int32_t> ids);
    int32_t CustomerSave(int32_t& id, std::string_view name);
    bool CustomerDelete(int32_t id);
    int32_t ResourceSave(int32_t& id, std::string_view name);
    bool ResourceDelete(int32_t id);
    int32_t TypeSave(int32_t& id, std::string_view name, int32_t backColor, int32_t foreColor,
                     int32_t minTime, int32_t maxTime, int32_t incTime);
    bool TypeDelete(int32_t id);
    bool SetSeries(int32_t appointmentId, int32_t seriesId);

    // Why a step cannot be taken back or done again: a record it takes away is not as the
    // step left it, a record it puts back is present, or a booking it puts back would
    // collide with otherId.
    struct Refusal {
        enum class Reason { Changed, Present, Collides } reason = Reason::Changed;
        int32_t id = 0;
        int32_t otherId = 0;
        bool operator==(const Refusal&) const = default;
    };
    std::optional<Refusal> Check(const EditStep& step, bool undo) const;
    // Takes the step back, or does it again, as one change set with that origin: records
    // leave and come back byte for byte, in their places, and the id counter goes back to
    // where the step found or left it. Nothing changes when Check refuses.
    std::optional<Refusal> Undo(const EditStep& step);
    std::optional<Refusal> Redo(const EditStep& step);

    void SetColor(int index, int32_t v);
    void SetOption(int index, bool v);
    void SetDateFormat(int32_t v);
    void SetResourceType(std::string_view v);
    void SetPrintOrientation(int16_t v);
    void SetPreviewViewType(int16_t v);
    void SetPrintPageSize(int16_t v);
    void SetPreviewZoom(int16_t v);

private:
    // Per kind of record, what it takes to find a record's entry in the set being built. A
    // lookup is needed only when a set both adds and removes records of the kind, so a bulk
    // delete never builds the index.
    struct Entries {
        size_t withAfter = 0;
        size_t withoutAfter = 0;
        bool dropped = false; // some record was added and removed again
        bool indexed = false;
        std::unordered_map<int32_t, size_t> index; // id to its entry, once indexed
    };

    void Removed(const ClsResource& record, uint64_t order) override { NoteRemoved(record, order); }
    void Removed(const ClsCustomer& record, uint64_t order) override { NoteRemoved(record, order); }
    void Removed(const ClsType& record, uint64_t order) override { NoteRemoved(record, order); }
    void Removed(const ClsAppointment& record, uint64_t order) override {
        NoteRemoved(record, order);
    }
    void Added(const ClsResource& record, uint64_t order) override { NoteAdded(record, order); }
    void Added(const ClsCustomer& record, uint64_t order) override { NoteAdded(record, order); }
    void Added(const ClsType& record, uint64_t order) override { NoteAdded(record, order); }
    void Added(const ClsAppointment& record, uint64_t order) override { NoteAdded(record, order); }
    void SettingChanged() override;
    void CounterMoved(int32_t from, int32_t to) override;
    void SeriesChanged(int32_t appointmentId, int32_t before, int32_t after) override;

    template <class Op> auto Run(Op op) -> decltype(op());
    std::optional<Refusal> Put(const EditStep& step, bool undo);
    // Tells the set when the outermost operation closes; a listener's exception comes out.
    void Close();
    // After a failure: what changed is still told, and listeners' exceptions are logged.
    void CloseAfterFailure() noexcept;
    void Tell(ChangeSet set);

    template <class T> void NoteRemoved(const T& record, uint64_t order);
    template <class T> void NoteAdded(const T& record, uint64_t order);
    template <class T> RecordChange<T>* Find(int32_t id);
    template <class T> void Append(RecordChange<T> change);
    template <class T> Entries& EntriesOf();

    ClsGlobal& store_;
    int depth_ = 0;
    ChangeSet building_;
    Entries entries_[4];
    std::unordered_map<int32_t, size_t> seriesEntries_; // appointment to its series entry
    std::shared_ptr<Subscription::Entries> listeners_;
    // Sets waiting while listeners are told an earlier one.
    std::vector<ChangeSet> queue_;
    bool telling_ = false;
    std::string what_;
};
