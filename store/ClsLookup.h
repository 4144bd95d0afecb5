#pragma once

#include <cstdint>
#include <string>

// An id with a text, for temporary lists; never stored.
class ClsLookup {
public:
    void SetId(int32_t v) { id_ = v; }
    void SetText(std::string v) { text_ = std::move(v); }
    int32_t Id() const { return id_; }
    const std::string& Text() const { return text_; }

private:
    int32_t id_ = 0;
    std::string text_;
};
