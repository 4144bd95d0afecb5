#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "store/ChangeSet.h"

// One change of records, kept to be taken back and done again: each record as the change
// found it and as it left it, with its place in its collection. It holds what a change set
// holds in less memory: a bulk delete costs a record and its place per booking.
class EditStep {
public:
    // The records of one kind on one side of the change, and where each one stood.
    template <class T> struct Side {
        std::vector<T> records;
        std::vector<uint64_t> orders;
    };
    template <class T> struct Kind {
        Side<T> before; // as the change found them: what an undo puts back
        Side<T> after;  // as the change left them: what a redo puts back
    };

    explicit EditStep(const ChangeSet& set);

    template <class T> const Kind<T>& Of() const { return std::get<Kind<T>>(kinds_); }
    const std::vector<SeriesChange>& Series() const { return series_; }
    bool Counter() const { return counter_; }
    int32_t CounterFrom() const { return counterFrom_; }
    int32_t CounterTo() const { return counterTo_; }

    // The change's own name, or one that says what it did ("Delete 5,000 appointments").
    const std::string& What() const { return what_; }
    size_t Records() const { return records_; }
    // The memory the step holds.
    size_t Bytes() const;

private:
    std::tuple<Kind<ClsResource>, Kind<ClsCustomer>, Kind<ClsType>, Kind<ClsAppointment>> kinds_;
    std::vector<SeriesChange> series_;
    bool counter_ = false;
    int32_t counterFrom_ = 0;
    int32_t counterTo_ = 0;
    size_t records_ = 0;
    std::string what_;
};
