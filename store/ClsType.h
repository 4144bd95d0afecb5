#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An appointment type: bar colours and the duration rules in minutes.
class ClsType {
public:
    static constexpr size_t RecordLength = 48;
    static constexpr size_t NameWidth = 24;

    ClsType();

    void SetId(int32_t v) { id_ = v; }
    void SetName(std::string_view utf8);
    void SetBackColor(int32_t v) { backColor_ = v; }
    void SetForeColor(int32_t v) { foreColor_ = v; }
    // Durations below one minute are stored as one minute.
    void SetMinTime(int32_t v) { minTime_ = v < 1 ? 1 : v; }
    // 0 means no maximum.
    void SetMaxTime(int32_t v) { maxTime_ = v; }
    void SetIncTime(int32_t v) { incTime_ = v < 1 ? 1 : v; }

    int32_t Id() const { return id_; }
    std::string Name() const;
    int32_t BackColor() const { return backColor_; }
    int32_t ForeColor() const { return foreColor_; }
    int32_t MinTime() const { return minTime_; }
    int32_t MaxTime() const { return maxTime_; }
    int32_t IncTime() const { return incTime_; }

private:
    int32_t id_ = 0;
    char name_[NameWidth];
    int32_t backColor_ = 0x000000FF;
    int32_t foreColor_ = 0x0000FFFF;
    int32_t minTime_ = 1;
    int32_t maxTime_ = 0;
    int32_t incTime_ = 1;
};
