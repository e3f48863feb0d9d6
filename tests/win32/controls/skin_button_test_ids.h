// Bitmap resources of the skin button test (skin_button_test.rc), made by
// make_skin_bitmaps.py. Plain defines: the resource compiler reads them too.
#pragma once

#define IDB_SKIN_NORMAL 201
#define IDB_SKIN_DOWN 202
#define IDB_SKIN_OVER 203
#define IDB_SKIN_FOCUS 204
#define IDB_SKIN_DISABLED 205
#define IDB_SKIN_PATTERN 206
#define IDB_SKIN_MASK_HALF 207
#define IDB_SKIN_MASK_HALF_MONO 208
#define IDB_SKIN_MASK_ODD 209
#define IDB_SKIN_MASK_WHITE 210
