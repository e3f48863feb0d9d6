// The proxy list in the main window's sorted list box (LBS_SORT |
// LBS_HASSTRINGS): what the list box keeps of a load, in its own order.
#pragma once

#include <windows.h>

#include "gui/engine/proxy_list.h"
#include "shared/list_box_model.h"

// The list box's own search fold, measured once per process on a private
// list box. False when it cannot be had as a byte table (a multi-byte ANSI
// code page, or no window), and then only the per-entry loop is exact.
bool GetListBoxFold(CListBoxFold& fold);

// An empty list staged with the list box's fold.
CProxyList MakeProxyList();

// Empties the list box and fills it with the entries of `entries` that the
// per-entry loop (LB_SELECTSTRING from before the first item, LB_ADDSTRING
// when nothing is found) would add, then gives `entries` the order the list
// box shows them in. Decided additions go in with redraw off and the storage
// reserved up front; otherwise the loop runs over the staged texts.
void ShowProxyList(HWND list, CProxyList& entries);
