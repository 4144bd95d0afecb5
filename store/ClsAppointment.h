#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One booking of one resource. Held exactly as its 36-byte file record, so a million of
// them stay small and load without conversion.
class ClsAppointment {
public:
    static constexpr size_t RecordLength = 36;
    static constexpr size_t ReferenceWidth = 12;

    // Start and end default to now (end taken first).
    ClsAppointment();
    // A record with every field zero, for loading; skips the two clock reads.
    struct Blank {};
    explicit ClsAppointment(Blank);

    void SetId(int32_t v) { id_ = v; }
    void SetCustomerId(int32_t v) { customerId_ = v; }
    void SetResourceId(int32_t v) { resourceId_ = v; }
    void SetTypeId(int32_t v) { typeId_ = v; }
    void SetStartDtTm(int32_t v) { startDtTm_ = v; }
    void SetEndDtTm(int32_t v) { endDtTm_ = v; }
    void SetReference(std::string_view utf8);

    int32_t Id() const { return id_; }
    int32_t CustomerId() const { return customerId_; }
    int32_t ResourceId() const { return resourceId_; }
    int32_t TypeId() const { return typeId_; }
    int32_t StartDtTm() const { return startDtTm_; }
    int32_t EndDtTm() const { return endDtTm_; }
    // Without leading and trailing spaces.
    std::string Reference() const;

private:
    int32_t id_ = 0;
    int32_t customerId_ = 0;
    int32_t resourceId_ = 0;
    int32_t typeId_ = 0;
    int32_t startDtTm_ = 0;
    int32_t endDtTm_ = 0;
    char reference_[ReferenceWidth];
};
