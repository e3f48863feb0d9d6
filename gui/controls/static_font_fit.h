// Labels whose text would be cut in the font the window gives them take the
// largest smaller size step of the same weight in which the whole text fits
// (the smallest step when none does). The window's pictures and templates
// are fixed; at the normal display class some labels are shorter than one
// line of their font.
#pragma once

#include <windows.h>

#include <functional>

// The entry chosen: `entry` itself when `fits(entry)`, else the next smaller
// entry of the same weight (entries are regular at odd, bold at even numbers,
// two apart per step) that fits, else the smallest of that weight.
int ChooseFittingFontEntry(int entry, const std::function<bool(int)>& fits);

// True when the static's whole text, laid out as a static of its style lays
// it out, fits its client rectangle in `font`.
bool StaticTextFits(HWND control, HFONT font);

// Sets the static's font from the application's table: `entry`, or a smaller
// step of the same weight where the text would be cut. Answers the entry used.
int SetFittingAppFont(HWND control, int entry);
