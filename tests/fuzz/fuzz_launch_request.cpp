// The launch-request writer, for any path and any buffer size: either it
// refuses and writes nothing, or the record holds the path NUL-terminated
// inside its 260 bytes and an empty argument at 260, and nothing else changed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "launch_request.h"

namespace {

constexpr unsigned char kFill = 0xA5;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace launch_request;
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
    const std::string path = provider.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(!WriteRecord(nullptr, recordSize, path));

    // Exactly the given size on the heap, so a write past it is caught.
    auto record = std::make_unique<unsigned char[]>(recordSize == 0 ? 1 : recordSize);
    std::memset(record.get(), kFill, recordSize);
    const bool fits = recordSize >= kRecordSize && !path.empty() && path.size() <= kMaxPathLength &&
                      path.find('\0') == std::string::npos;
    const bool written = WriteRecord(record.get(), recordSize, path);
    FUZZ_CHECK(written == fits);

    for (std::size_t i = 0; i < recordSize; ++i) {
        unsigned char expected = kFill;
        if (written && i < path.size()) {
            expected = static_cast<unsigned char>(path[i]);
        } else if (written && (i == path.size() || i == kArgumentOffset)) {
            expected = 0;
        }
        FUZZ_CHECK(record[i] == expected);
    }
    if (written) {
        // What a reader of the record finds: the same path, an empty argument.
        const auto* bytes = reinterpret_cast<const char*>(record.get());
        FUZZ_CHECK(strnlen(bytes + kPathOffset, kFieldWidth) == path.size());
        FUZZ_CHECK(std::string(bytes + kPathOffset) == path);
        FUZZ_CHECK(bytes[kArgumentOffset] == '\0');
    }
    return 0;
}
