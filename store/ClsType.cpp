#include "store/ClsType.h"

#include "store/Bytes.h"
#include "store/RecordFile.h"

ClsType::ClsType() {
    std::memset(name_, ' ', sizeof name_);
}

void ClsType::SetName(std::string_view utf8) {
    Bytes::SetFixedText(name_, sizeof name_, utf8);
}

std::string ClsType::Name() const {
    return Bytes::GetFixedText(name_, sizeof name_, true);
}

// The file holds what was stored, so a minimum or increment below one loads unchanged.
void ClsType::Load(RecordFile& file) {
    const uint8_t* p = file.ReadNext();
    if (p == nullptr) {
        return;
    }
    id_ = Bytes::GetI32(p);
    std::memcpy(name_, p + 4, sizeof name_);
    backColor_ = Bytes::GetI32(p + 28);
    foreColor_ = Bytes::GetI32(p + 32);
    minTime_ = Bytes::GetI32(p + 36);
    maxTime_ = Bytes::GetI32(p + 40);
    incTime_ = Bytes::GetI32(p + 44);
}

void ClsType::Save(RecordFile& file) const {
    uint8_t* p = file.AppendRecord();
    Bytes::PutI32(p, id_);
    std::memcpy(p + 4, name_, sizeof name_);
    Bytes::PutI32(p + 28, backColor_);
    Bytes::PutI32(p + 32, foreColor_);
    Bytes::PutI32(p + 36, minTime_);
    Bytes::PutI32(p + 40, maxTime_);
    Bytes::PutI32(p + 44, incTime_);
}
