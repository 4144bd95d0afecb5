#include "store/GlobalRecord.h"

#include <algorithm>
#include <cstring>

#include "store/Bytes.h"

namespace {
constexpr size_t kIdCounter = 0;
constexpr size_t kDateFormat = 16;
constexpr size_t kPrintOrientation = 20;
constexpr size_t kPreviewViewType = 22;
constexpr size_t kPrintPageSize = 24;
constexpr size_t kPreviewZoom = 26;
constexpr size_t kColors = 28;
constexpr size_t kOptions = 436;
constexpr size_t kResourceType = 536;
constexpr size_t kResourceTypeWidth = 24;
constexpr size_t kTrailingReserved = 560;

constexpr int32_t kDefaultColors[] = {0x00FFFFFF, 0x00FFFF00, 0x00C0FFC0, 0x00C0FFFF, 0x00C0C0FF};
} // namespace

GlobalRecord::GlobalRecord() {
    for (int i = 0; i < 50; ++i) {
        SetColor(i, 0x00FFFFFF);
    }
    for (int i = 0; i < 5; ++i) {
        SetColor(i, kDefaultColors[i]);
    }
    std::memset(bytes_.data() + kOptions, ' ', OptionCount);
    for (int i = 1; i <= 5; ++i) {
        SetOption(i, true);
    }
    std::memset(bytes_.data() + kResourceType, ' ', kResourceTypeWidth);
    std::memset(bytes_.data() + kTrailingReserved, ' ', Length - kTrailingReserved);
}

void GlobalRecord::Overlay(const uint8_t* bytes, size_t size) {
    if (size > 0) { // an empty file's buffer may be null, which memcpy must not see
        std::memcpy(bytes_.data(), bytes, std::min(size, Length));
    }
}

int32_t GlobalRecord::IdCounter() const {
    return Bytes::GetI32(bytes_.data() + kIdCounter);
}
void GlobalRecord::SetIdCounter(int32_t v) {
    Bytes::PutI32(bytes_.data() + kIdCounter, v);
}

int32_t GlobalRecord::Color(int index) const {
    if (index < 0 || index >= ColorCount) {
        return 0;
    }
    return Bytes::GetI32(bytes_.data() + kColors + 4 * static_cast<size_t>(index));
}

void GlobalRecord::SetColor(int index, int32_t value) {
    if (index >= 0 && index < ColorCount) {
        Bytes::PutI32(bytes_.data() + kColors + 4 * static_cast<size_t>(index), value);
    }
}

bool GlobalRecord::Option(int index) const {
    if (index < 1 || index > OptionCount) {
        return false;
    }
    return bytes_[kOptions + static_cast<size_t>(index) - 1] == 'X';
}

void GlobalRecord::SetOption(int index, bool on) {
    if (index >= 1 && index <= OptionCount) {
        bytes_[kOptions + static_cast<size_t>(index) - 1] = on ? 'X' : ' ';
    }
}

int32_t GlobalRecord::DateFormat() const {
    return Bytes::GetI32(bytes_.data() + kDateFormat);
}
void GlobalRecord::SetDateFormat(int32_t v) {
    Bytes::PutI32(bytes_.data() + kDateFormat, v);
}

std::string GlobalRecord::ResourceType() const {
    return Bytes::GetFixedText(reinterpret_cast<const char*>(bytes_.data() + kResourceType),
                               kResourceTypeWidth, true);
}

void GlobalRecord::SetResourceType(std::string_view utf8) {
    Bytes::SetFixedText(reinterpret_cast<char*>(bytes_.data() + kResourceType), kResourceTypeWidth,
                        utf8);
}

int16_t GlobalRecord::PrintOrientation() const {
    return Bytes::GetI16(bytes_.data() + kPrintOrientation);
}
void GlobalRecord::SetPrintOrientation(int16_t v) {
    Bytes::PutI16(bytes_.data() + kPrintOrientation, v);
}
int16_t GlobalRecord::PreviewViewType() const {
    return Bytes::GetI16(bytes_.data() + kPreviewViewType);
}
void GlobalRecord::SetPreviewViewType(int16_t v) {
    Bytes::PutI16(bytes_.data() + kPreviewViewType, v);
}
int16_t GlobalRecord::PrintPageSize() const {
    return Bytes::GetI16(bytes_.data() + kPrintPageSize);
}
void GlobalRecord::SetPrintPageSize(int16_t v) {
    Bytes::PutI16(bytes_.data() + kPrintPageSize, v);
}
int16_t GlobalRecord::PreviewZoom() const {
    return Bytes::GetI16(bytes_.data() + kPreviewZoom);
}
void GlobalRecord::SetPreviewZoom(int16_t v) {
    Bytes::PutI16(bytes_.data() + kPreviewZoom, v);
}
