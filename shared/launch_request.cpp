#include "launch_request.h"

#include <cstring>
#include <utility>

namespace launch_request {

namespace {

// The text of one field, or false when it has no NUL inside its width.
bool ReadField(const unsigned char* field, std::string& out) {
    const void* end = std::memchr(field, 0, kFieldWidth);
    if (end == nullptr) {
        return false;
    }
    const auto* last = static_cast<const unsigned char*>(end);
    out.assign(reinterpret_cast<const char*>(field), static_cast<std::size_t>(last - field));
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

bool ReadRecord(const unsigned char* record, std::size_t recordSize, Record& out) {
    if (record == nullptr || recordSize < kRecordSize) {
        return false;
    }
    Record read;
    if (!ReadField(record + kPathOffset, read.programPath) ||
        !ReadField(record + kArgumentOffset, read.argumentText)) {
        return false;
    }
    out = std::move(read);
    return true;
}

} // namespace launch_request
