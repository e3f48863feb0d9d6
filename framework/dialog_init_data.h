// A dialog's initialisation data: the resource of type 240 stored under the
// dialog's own id, holding records {WORD control id, WORD message, DWORD
// length, `length` bytes} ended by a zero WORD. The records fill list and
// combo boxes with strings before the dialog's own initialisation runs.
// Portable: plain bytes in, plain records out; dialog.cpp sends them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint16_t kDialogInitResourceType = 240;

// The record messages keep their 16-bit-era numbers (WM_USER + 1 and + 3),
// not the Win32 LB_ADDSTRING and CB_ADDSTRING they stand for.
constexpr std::uint16_t kDialogInitListBoxAddString = 0x0401;
constexpr std::uint16_t kDialogInitComboBoxAddString = 0x0403;

struct DialogInitString {
    enum class Target { kListBox, kComboBox };
    std::uint16_t controlId = 0;
    Target target = Target::kComboBox;
    std::string text;
};

// Reads every record, in order, up to the end mark; bytes after it (resource
// padding) are ignored. Records with other messages are passed over. The
// whole data is refused (false, `strings` left empty) when a record or the end
// mark is cut short, or a string record's bytes hold no terminating zero, so
// nothing is ever read past the data or the record.
bool ParseDialogInitData(const std::uint8_t* data, std::size_t size,
                         std::vector<DialogInitString>& strings);
