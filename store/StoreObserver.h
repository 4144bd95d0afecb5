#pragma once

#include <cstdint>

class ClsAppointment;
class ClsCustomer;
class ClsResource;
class ClsType;

// Told of each change the store makes, right after it made it. A save that replaces a record
// tells its removal, then its addition. order is the record's place in its collection's order
// (Collection::OrderOf), as it stood before a removal and after an addition.
class StoreObserver {
public:
    virtual ~StoreObserver() = default;

    virtual void Removed(const ClsResource&, uint64_t /*order*/) {}
    virtual void Removed(const ClsCustomer&, uint64_t /*order*/) {}
    virtual void Removed(const ClsType&, uint64_t /*order*/) {}
    virtual void Removed(const ClsAppointment&, uint64_t /*order*/) {}
    virtual void Added(const ClsResource&, uint64_t /*order*/) {}
    virtual void Added(const ClsCustomer&, uint64_t /*order*/) {}
    virtual void Added(const ClsType&, uint64_t /*order*/) {}
    virtual void Added(const ClsAppointment&, uint64_t /*order*/) {}
    virtual void SettingChanged() {}
    virtual void CounterMoved(int32_t /*from*/, int32_t /*to*/) {}
    // An appointment's series link went from one series to another (0: none).
    virtual void SeriesChanged(int32_t /*appointmentId*/, int32_t /*before*/, int32_t /*after*/) {}
};
