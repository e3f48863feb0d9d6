// The texts of a proxy the user types in: the address from the IP address
// control's four fields, and the entry from address and port.
#pragma once

#include <cstdint>
#include <string>

// "%d.%d.%d.%d" of the fields when any is not blank (blank ones count 0),
// else empty.
std::string UserProxyAddress(const std::uint8_t fields[4], int nonBlankFields);
// "%s:%s": the address, ":" and the port text as typed.
std::string UserProxyEntry(const std::string& address, const std::string& portText);
// The port edit's text trimmed of leading and trailing white space.
std::string TrimmedPortText(const std::string& text);
