#include "service/request_record_rules.h"

#include "service/program_path_rules.h"
#include "shared/launch_request.h"

Refusal CheckRequestRecord(const unsigned char* record, std::size_t recordSize,
                           std::string& programPath) {
    std::string path;
    std::string arguments;
    programPath.clear();
    switch (launch_request::ReadRecord(record, recordSize, path, arguments)) {
    case launch_request::ReadResult::TooShort:
        return Refusal::RecordTooShort;
    case launch_request::ReadResult::PathUnterminated:
        return Refusal::PathUnterminated;
    case launch_request::ReadResult::ArgumentUnterminated:
        return Refusal::ArgumentUnterminated;
    case launch_request::ReadResult::Ok:
        break;
    }
    // Vettor always writes an empty argument text; any other is not Vettor's.
    if (!arguments.empty()) {
        return Refusal::ArgumentNotEmpty;
    }
    const Refusal pathRule = ClassifyProgramPath(path);
    if (pathRule == Refusal::None) {
        programPath = std::move(path);
    }
    return pathRule;
}
