#include "launch_request.h"

#include <cstring>

namespace launch_request {

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

} // namespace launch_request
