// The item texts of a list box or a combo box of this process, in their order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::vector<std::string> ListBoxItems(HWND list);
std::vector<std::string> ComboBoxItems(HWND combo);
