#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The 710-byte record of Global.bin: the id counter and the settings. The settings are
// read and written in place, so the reserved bytes go back to the file as they came.
class GlobalRecord {
public:
    static constexpr size_t Length = 710;
    static constexpr int ColorCount = 51;
    static constexpr int OptionCount = 100;

    // The record of a first run: default colours and options, reserved bytes as a new
    // store writes them.
    GlobalRecord();

    // Takes the bytes a file holds; settings past a short file's end keep their defaults.
    void Overlay(const uint8_t* bytes, size_t size);
    const std::array<uint8_t, Length>& Bytes() const { return bytes_; }

    int32_t IdCounter() const;
    void SetIdCounter(int32_t v);

    int32_t Color(int index) const;
    void SetColor(int index, int32_t value);
    bool Option(int index) const;
    void SetOption(int index, bool on);
    int32_t DateFormat() const;
    void SetDateFormat(int32_t v);
    std::string ResourceType() const;
    void SetResourceType(std::string_view utf8);
    int16_t PrintOrientation() const;
    void SetPrintOrientation(int16_t v);
    int16_t PreviewViewType() const;
    void SetPreviewViewType(int16_t v);
    int16_t PrintPageSize() const;
    void SetPrintPageSize(int16_t v);
    int16_t PreviewZoom() const;
    void SetPreviewZoom(int16_t v);

private:
    std::array<uint8_t, Length> bytes_{};
};
