#include "store/ClsType.h"

#include "store/Bytes.h"

ClsType::ClsType() {
    std::memset(name_, ' ', sizeof name_);
}

void ClsType::SetName(std::string_view utf8) {
    Bytes::SetFixedText(name_, sizeof name_, utf8);
}

std::string ClsType::Name() const {
    return Bytes::GetFixedText(name_, sizeof name_, true);
}
