#pragma once

class ClsAppointment;
class ClsCustomer;
class ClsResource;
class ClsType;

// Told of each change the store makes, right after it made it. A save that replaces a record
// tells its removal, then its addition.
class StoreObserver {
public:
    virtual ~StoreObserver() = default;

    virtual void Removed(const ClsResource&) {}
    virtual void Removed(const ClsCustomer&) {}
    virtual void Removed(const ClsType&) {}
    virtual void Removed(const ClsAppointment&) {}
    virtual void Added(const ClsResource&) {}
    virtual void Added(const ClsCustomer&) {}
    virtual void Added(const ClsType&) {}
    virtual void Added(const ClsAppointment&) {}
    virtual void SettingChanged() {}
    virtual void CounterMoved() {}
};
