// The launch-request record. Writer, for any path and any buffer size: either
// it refuses and writes nothing, or the record holds the path NUL-terminated
// inside its 260 bytes and an empty argument at 260, and nothing else
// changed. Reader, over any bytes: it never reads past the record's 520 bytes
// nor a buffer shorter than that, takes each field up to its NUL, and accepts
// exactly what the writer writes. The launch service's judgement of a record
// agrees with the reader, and a path it lets through is a plain full path.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include "service/program_path_rules.h"
#include "service/request_record_rules.h"
#include "shared/launch_request.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace launch_request;

constexpr unsigned char kFill = 0xA5;

// A buffer of exactly `size` bytes on the heap, so an access past it is caught.
std::unique_ptr<unsigned char[]> MakeBuffer(std::size_t size,
                                            const std::vector<unsigned char>& bytes) {
    auto buffer = std::make_unique<unsigned char[]>(size == 0 ? 1 : size);
    for (std::size_t i = 0; i < size; ++i) {
        buffer[i] = i < bytes.size() ? bytes[i] : kFill;
    }
    return buffer;
}

void CheckWriter(std::size_t recordSize, const std::string& path,
                 const std::vector<unsigned char>& before) {
    FUZZ_CHECK(!WriteRecord(nullptr, recordSize, path));
    auto record = MakeBuffer(recordSize, before);
    const bool fits = recordSize >= kRecordSize && !path.empty() && path.size() <= kMaxPathLength &&
                      path.find('\0') == std::string::npos;
    const bool written = WriteRecord(record.get(), recordSize, path);
    FUZZ_CHECK(written == fits);
    const auto original = MakeBuffer(recordSize, before);
    for (std::size_t i = 0; i < recordSize; ++i) {
        unsigned char expected = original[i];
        if (written && i < path.size()) {
            expected = static_cast<unsigned char>(path[i]);
        } else if (written && (i == path.size() || i == kArgumentOffset)) {
            expected = 0;
        }
        FUZZ_CHECK(record[i] == expected);
    }
    if (written) {
        std::string readPath = "stale";
        std::string readArgument = "stale";
        FUZZ_CHECK(ReadRecord(record.get(), recordSize, readPath, readArgument) == ReadResult::Ok);
        FUZZ_CHECK(readPath == path && readArgument.empty());
    }
}

// The field's text up to its NUL, as the layout says; false without one.
bool ModelField(const unsigned char* field, std::string& text) {
    for (std::size_t i = 0; i < kFieldWidth; ++i) {
        if (field[i] == 0) {
            text.assign(reinterpret_cast<const char*>(field), i);
            return true;
        }
    }
    return false;
}

void CheckReader(std::size_t recordSize, const std::vector<unsigned char>& bytes) {
    std::string path = "stale";
    std::string argument = "stale";
    FUZZ_CHECK(ReadRecord(nullptr, recordSize, path, argument) == ReadResult::TooShort);
    FUZZ_CHECK(path.empty() && argument.empty());

    auto record = MakeBuffer(recordSize, bytes);
    // Bytes past the record proper are someone else's: reading them is a fault.
    if (recordSize > kRecordSize) {
        ASAN_POISON_MEMORY_REGION(record.get() + kRecordSize, recordSize - kRecordSize);
    }
    path = "stale";
    argument = "stale";
    const ReadResult result = ReadRecord(record.get(), recordSize, path, argument);
    if (recordSize > kRecordSize) {
        ASAN_UNPOISON_MEMORY_REGION(record.get() + kRecordSize, recordSize - kRecordSize);
    }

    std::string modelPath;
    std::string modelArgument;
    ReadResult expected = ReadResult::Ok;
    if (recordSize < kRecordSize) {
        expected = ReadResult::TooShort;
    } else if (!ModelField(record.get() + kPathOffset, modelPath)) {
        expected = ReadResult::PathUnterminated;
    } else if (!ModelField(record.get() + kArgumentOffset, modelArgument)) {
        expected = ReadResult::ArgumentUnterminated;
    }
    FUZZ_CHECK(result == expected);
    if (result != ReadResult::Ok) {
        FUZZ_CHECK(path.empty() && argument.empty());
        return;
    }
    FUZZ_CHECK(path == modelPath && argument == modelArgument);

    // A record that reads as a path and no argument is what the writer makes
    // of that path: writing it again changes no byte.
    if (!path.empty() && argument.empty()) {
        auto again = MakeBuffer(recordSize, bytes);
        FUZZ_CHECK(WriteRecord(again.get(), recordSize, path));
        FUZZ_CHECK(std::memcmp(again.get(), record.get(), recordSize) == 0);
    }
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A component Windows would take for a device: its name before any dot or
// colon, trailing spaces dropped, is one of the device names in any case.
bool NamesDevice(std::string_view component) {
    std::string base(component.substr(0, component.find_first_of(".:")));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        c = Upper(c);
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$") {
        return true;
    }
    const std::string digits = "0123456789\xB9\xB2\xB3";
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           digits.find(base[3]) != std::string::npos;
}

// What a path the service may open looks like: "X:\" and components, each a
// plain name Windows keeps as written, with no character it reads specially.
bool IsPlainFullPath(std::string_view path) {
    if (path.size() < 4 || Upper(path[0]) < 'A' || Upper(path[0]) > 'Z' || path[1] != ':' ||
        path[2] != '\\') {
        return false;
    }
    for (std::size_t i = 2; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte < 0x20 || std::string_view("<>\"|?*:/").find(path[i]) != std::string_view::npos) {
            return false;
        }
    }
    std::string_view rest = path.substr(3);
    for (;;) {
        const std::size_t slash = rest.find('\\');
        const std::string_view component = rest.substr(0, slash);
        if (component.empty() || component == "." || component == ".." || component.back() == ' ' ||
            component.back() == '.' || NamesDevice(component)) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
}

void CheckServiceRules(const unsigned char* record, std::size_t recordSize,
                       const std::string& path) {
    const Refusal pathRule = ClassifyProgramPath(path);
    FUZZ_CHECK((pathRule == Refusal::None) == IsPlainFullPath(path));

    std::string judged = "stale";
    const Refusal refusal = CheckRequestRecord(record, recordSize, judged);
    std::string readPath;
    std::string readArgument;
    const ReadResult read = ReadRecord(record, recordSize, readPath, readArgument);
    if (read != ReadResult::Ok) {
        FUZZ_CHECK(refusal == (read == ReadResult::TooShort ? Refusal::RecordTooShort
                               : read == ReadResult::PathUnterminated
                                   ? Refusal::PathUnterminated
                                   : Refusal::ArgumentUnterminated));
    } else if (!readArgument.empty()) {
        FUZZ_CHECK(refusal == Refusal::ArgumentNotEmpty);
    } else {
        FUZZ_CHECK(refusal == ClassifyProgramPath(readPath));
    }
    FUZZ_CHECK(judged == (refusal == Refusal::None ? readPath : std::string()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    // Mostly the real size; sometimes shorter or longer buffers.
    std::size_t recordSize = kRecordSize;
    switch (provider.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        recordSize = provider.ConsumeIntegralInRange<std::size_t>(0, kRecordSize - 1);
        break;
    case 1:
        recordSize = provider.ConsumeIntegralInRange<std::size_t>(kRecordSize, 2 * kRecordSize);
        break;
    default:
        break;
    }
    const auto pathLength = provider.ConsumeIntegralInRange<std::size_t>(0, kRecordSize);
    const std::string path = provider.ConsumeBytesAsString(pathLength);
    const std::vector<unsigned char> bytes = provider.ConsumeRemainingBytes<unsigned char>();

    CheckWriter(recordSize, path, bytes);
    CheckReader(recordSize, bytes);

    // The service judges what the writer wrote and whatever else is there.
    auto record = MakeBuffer(recordSize, bytes);
    CheckServiceRules(record.get(), recordSize, path);
    WriteRecord(record.get(), recordSize, path);
    CheckServiceRules(record.get(), recordSize, path);
    return 0;
}
