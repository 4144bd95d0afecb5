#include "store/ClsAppointment.h"

#include "datetime/ClsDate.h"
#include "store/Bytes.h"
#include "store/RecordFile.h"

ClsAppointment::ClsAppointment() {
    ClsDate date;
    endDtTm_ = date.CurrentDateTime();
    startDtTm_ = date.CurrentDateTime();
    std::memset(reference_, ' ', sizeof reference_);
}

ClsAppointment::ClsAppointment(Blank) {
    std::memset(reference_, ' ', sizeof reference_);
}

void ClsAppointment::SetReference(std::string_view utf8) {
    Bytes::SetFixedText(reference_, sizeof reference_, utf8);
}

std::string ClsAppointment::Reference() const {
    return Bytes::GetFixedText(reference_, sizeof reference_, true);
}

void ClsAppointment::Load(RecordFile& file) {
    const uint8_t* p = file.ReadNext();
    if (p == nullptr) {
        return;
    }
    id_ = Bytes::GetI32(p);
    customerId_ = Bytes::GetI32(p + 4);
    resourceId_ = Bytes::GetI32(p + 8);
    typeId_ = Bytes::GetI32(p + 12);
    startDtTm_ = Bytes::GetI32(p + 16);
    endDtTm_ = Bytes::GetI32(p + 20);
    std::memcpy(reference_, p + 24, sizeof reference_);
}

void ClsAppointment::Save(RecordFile& file) const {
    uint8_t* p = file.AppendRecord();
    Bytes::PutI32(p, id_);
    Bytes::PutI32(p + 4, customerId_);
    Bytes::PutI32(p + 8, resourceId_);
    Bytes::PutI32(p + 12, typeId_);
    Bytes::PutI32(p + 16, startDtTm_);
    Bytes::PutI32(p + 20, endDtTm_);
    std::memcpy(p + 24, reference_, sizeof reference_);
}
