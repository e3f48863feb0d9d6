// The rotation period chosen in the timer combo box: the number at the start
// of the item's text (the C library's atoi), in hours when the text holds
// "Hrs", else in seconds. "60 Sec" is 60 s, "2 Hrs" 7200 s.
#pragma once

#include <string_view>

long long RotationIntervalSeconds(std::string_view itemText);
// The timer period in milliseconds, `msPerSecond` to the second (1000; tests
// scale the clock), kept within what a window timer takes.
unsigned RotationPeriodMs(std::string_view itemText, unsigned msPerSecond = 1000);
