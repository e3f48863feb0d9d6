// The launch-request record in "Global\ZK_SM", over a plain byte buffer: the
// program path at offset 0 and the argument text at offset 260, each
// NUL-terminated inside its 260 bytes. A wire format shared with the launch
// service, so the writer never lets a field run into the next one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace launch_request {

constexpr std::size_t kFieldWidth = 260;
constexpr std::size_t kPathOffset = 0;
constexpr std::size_t kArgumentOffset = 260;
constexpr std::size_t kRecordSize = 520;

// The longest path that fits with its terminating NUL.
constexpr std::size_t kMaxPathLength = kFieldWidth - 1;

// Writes the path at offset 0 and an empty argument text at offset 260; the
// other bytes are left as they were. Writes nothing and answers false when the
// record is missing or shorter than 520 bytes, or when the path is empty,
// holds a NUL or does not fit: a cut path would name another program.
bool WriteRecord(unsigned char* record, std::size_t recordSize, std::string_view programPath);

// What a reader found. Every account may write the block, so a reader trusts
// nothing in it: a field without its NUL inside its own 260 bytes is refused.
enum class ReadResult { Ok, TooShort, PathUnterminated, ArgumentUnterminated };

// Copies both fields out, up to their NULs; on anything but Ok the texts are
// left empty.
ReadResult ReadRecord(const unsigned char* record, std::size_t recordSize, std::string& programPath,
                      std::string& argumentText);

} // namespace launch_request
