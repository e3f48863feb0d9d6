// The engine side of the main window's list load: the list files of the
// system directory into the sorted proxy list box (LBS_SORT | LBS_HASSTRINGS).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/module_paths.h"
#include "shared/list_box_model.h"

// The list files the main window shows, in the order they are read.
inline constexpr char kUserProxyFileName[] = "Userproxy.txt";
inline constexpr char kProxyListFileName[] = "Proxylist.txt";

// Appends the non-empty trimmed lines of one file to the staging array; a
// missing or unreadable file adds nothing.
void ReadListFile(const std::string& path, std::vector<std::string>& staging);

// The list box's own search fold, measured once per process on a private
// list box. False when it cannot be had as a byte table (a multi-byte ANSI
// code page, or no window), and then only the per-entry loop is exact.
bool GetListBoxFold(CListBoxFold& fold);

// Fills the list box with exactly the items the per-entry loop below gives.
// From an empty list box it decides the survivors from the model and adds
// them with redraw off and the storage reserved up front; otherwise it runs
// the loop over the entries less their repeats.
void FillProxyListBox(HWND list, const std::vector<std::string>& staging);
// The per-entry loop: search each entry with LB_SELECTSTRING from before the
// first item and add it with LB_ADDSTRING when nothing is found. Quadratic.
void FillProxyListBoxPlain(HWND list, const std::vector<std::string>& staging);

// The load: empty the list box, read "Userproxy.txt" then "Proxylist.txt"
// from `directory`, fill the list box. Then 0 with the first item selected
// and `startStop` enabled, or -1 with the list empty and `startStop`
// disabled. The lines are staged compactly and only those the duplicate
// search could let through, so a huge list costs a few times its file.
int LoadProxyLists(HWND list, HWND startStop, const std::string& directory);
// The same from the system directory.
int LoadProxyLists(HWND list, HWND startStop);
// The same load leaving every line read, repeats and all, in `staging`
// (emptied first), at the cost of one string per line.
int LoadProxyLists(HWND list, std::vector<std::string>& staging, HWND startStop,
                   const std::string& directory);
int LoadProxyLists(HWND list, std::vector<std::string>& staging, HWND startStop);
// The same load filling with the per-entry loop; the reference for the fast one.
int LoadProxyListsPlain(HWND list, std::vector<std::string>& staging, HWND startStop,
                        const std::string& directory);
