// The text rules of one launch request: the 520 bytes of "Global\ZK_SM" as
// read, before anything is opened. Portable.
#pragma once

#include <cstddef>
#include <string>

#include "service/launch_refusal.h"

// Refusal::None with `programPath` filled when both fields end inside their
// 260 bytes, the argument text is empty and the path passes
// ClassifyProgramPath; otherwise the first rule broken, in that order, and an
// empty path.
Refusal CheckRequestRecord(const unsigned char* record, std::size_t recordSize,
                           std::string& programPath);
