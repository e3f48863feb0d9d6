#include "shared/launch_request.h"

#include <cstring>

namespace launch_request {

namespace {
// The field's text up to its NUL; false when the field holds none.
bool ReadField(const unsigned char* field, std::string& text) {
    const void* end = std::memchr(field, 0, kFieldWidth);
    if (end == nullptr) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(field),
                static_cast<std::size_t>(static_cast<const unsigned char*>(end) - field));
    return true;
}
} // namespace

bool WriteRecord(unsigned char* record, std::size_t recordSize, std::string_view programPath) {
    if (record == nullptr || recordSize < kRecordSize) {
        return false;
    }
    if (programPath.empty() || programPath.size() > kMaxPathLength ||
        programPath.find('\0') != std::string_view::npos) {
        return false;
    }
    std::memcpy(record + kPathOffset, programPath.data(), programPath.size());
    record[kPathOffset + programPath.size()] = 0;
    record[kArgumentOffset] = 0;
    return true;
}

ReadResult ReadRecord(const unsigned char* record, std::size_t recordSize, std::string& programPath,
                      std::string& argumentText) {
    programPath.clear();
    argumentText.clear();
    if (record == nullptr || recordSize < kRecordSize) {
        return ReadResult::TooShort;
    }
    if (!ReadField(record + kPathOffset, programPath)) {
        return ReadResult::PathUnterminated;
    }
    if (!ReadField(record + kArgumentOffset, argumentText)) {
        programPath.clear();
        return ReadResult::ArgumentUnterminated;
    }
    return ReadResult::Ok;
}

} // namespace launch_request
