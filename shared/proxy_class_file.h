// "Proxyclass.txt", the checker's small result file beside its lists: one
// line for each live proxy of the last run, "<entry> <class> <ms>", the class
// one of "transparent", "anonymous", "elite" or "unknown" and the round trip
// of the proxy's probe in milliseconds. Written by the checker, read by
// Sulvantix to say what the proxy in force is. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

extern const char* const kProxyClassFile;

// What is read of the file at the most; a longer file says nothing.
constexpr std::size_t kMaxProxyClassFileBytes = 256 * 1024;

struct CProxyClass {
    std::string m_strClass;
    unsigned long m_nRoundTripMs = 0;
};

// One line of the file, without its line end.
std::string ProxyClassLine(const std::string& entry, const char* className,
                           unsigned long roundTripMs);

// The class of `entry` in the file's text: its last line naming the entry,
// when that line is whole (a known class, a round trip of digits that fits).
// Nothing for a missing entry, a garbled line or a text over the bound.
std::optional<CProxyClass> FindProxyClass(std::string_view fileText, std::string_view entry);

// The same from the file at `path`, of which one byte over the bound is read
// at the most. Nothing for a file that is missing or cannot be read; never
// throws, so a bad file costs its reader only the class.
std::optional<CProxyClass> ReadProxyClass(const std::string& path, std::string_view entry);
