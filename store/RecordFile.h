#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A record file held in memory: the store reads the file whole before the records load
// themselves from it, and writes it whole after they have saved themselves into it.
class RecordFile {
public:
    explicit RecordFile(size_t recordLength) : recordLength_(recordLength) {}

    size_t RecordLength() const { return recordLength_; }

    void Assign(std::vector<uint8_t> bytes) {
        bytes_ = std::move(bytes);
        position_ = 0;
        eof_ = false;
    }

    // The next whole record, or nullptr (and end-of-file) when no whole record remains.
    const uint8_t* ReadNext() {
        if (position_ + recordLength_ > bytes_.size()) {
            eof_ = true;
            return nullptr;
        }
        const uint8_t* p = bytes_.data() + position_;
        position_ += recordLength_;
        return p;
    }

    // Space for the next record, appended at the current end.
    uint8_t* AppendRecord() {
        bytes_.resize(bytes_.size() + recordLength_);
        position_ = bytes_.size();
        return bytes_.data() + bytes_.size() - recordLength_;
    }

    void Reserve(size_t records) { bytes_.reserve(records * recordLength_); }
    bool Eof() const { return eof_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    size_t recordLength_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    bool eof_ = false;
};
