// The time stamps that frame a validation run in the checker's trace:
// "[ d/m/yyyy HH:MM:SS ] " (day, month and year without leading zeros), and
// the run stamp, a start stamp followed by " - " and the end's stamp.
#pragma once

#include <ctime>
#include <string>

// The stamp of one local time; null means the local-time conversion failed,
// which prints the date as 0/0/0 and leaves the time of day empty.
std::string FormatTraceStamp(const std::tm* localTime);

// The second half of a run stamp, appended to the start stamp.
std::string FormatRunStampEnd(const std::tm* localTime);

// The stamp of the current local time.
std::string CurrentTraceStamp();
std::string CurrentRunStampEnd();
