#include "store/ClsAppointment.h"

#include "datetime/ClsDate.h"
#include "store/Bytes.h"

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
