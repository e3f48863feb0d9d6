// Decisions and pixel geometry of the skin button over plain values, without
// Windows headers: what a button style makes of the control, how check state
// changes, which look a drawing takes and where its caption goes, the runs of
// a mask that make its window region, and the tiles that fill a rectangle.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// Same layout and meaning as RECT: right and bottom lie one past the last pixel.
struct SkinRect {
    int left, top, right, bottom;
};

inline bool operator==(const SkinRect& a, const SkinRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The run rectangles of one mask, in scan order. Room grows 40 rectangles at
// a time: masks have a few runs per row, and this keeps reallocations few
// without reserving for the worst case of one run per pixel.
class CMaskRunList {
public:
    static constexpr std::size_t kGrowth = 40;

    CMaskRunList() { m_runs.reserve(kGrowth); }

    void Add(const SkinRect& run) {
        if (m_runs.size() == m_runs.capacity()) {
            m_runs.reserve(m_runs.capacity() + kGrowth);
        }
        m_runs.push_back(run);
    }
    std::size_t Size() const { return m_runs.size(); }
    std::size_t Capacity() const { return m_runs.capacity(); }
    const std::vector<SkinRect>& Runs() const { return m_runs; }

private:
    std::vector<SkinRect> m_runs;
};

// Scans rows from the bottom row up, each from left to right. A run is a
// stretch of opaque pixels, one pixel high, that ends before the next
// transparent pixel or after the row's last pixel; runs never wrap.
void FindMaskRuns(int width, int height, const std::function<bool(int x, int y)>& isOpaque,
                  CMaskRunList& runs);

// Tiles of tileWidth x tileHeight laid row by row from the rectangle's
// top-left corner; the last column and the last row are cut to what is left.
std::vector<SkinRect> TileRects(const SkinRect& area, int tileWidth, int tileHeight);

enum SkinButtonKind : int {
    kSkinPushButton = 0,
    kSkinCheckBox = 2,
    kSkinRadioButton = 4,
};

// By bit pattern of the style's low bits, not by button type: every style
// containing 3 is a check box (BS_AUTOCHECKBOX, also BS_GROUPBOX and
// BS_OWNERDRAW), then every one containing 9 a radio button
// (BS_AUTORADIOBUTTON); BS_CHECKBOX and BS_RADIOBUTTON lack the automatic
// bit and stay push buttons.
int ClassifySkinButtonStyle(unsigned long style);

// Draw modes: 0 copy at natural size, 1 stretch, 2 tile; above 2 tiles,
// below 0 copies.
short ClampSkinDrawMode(short mode);
short ClampSkinFocusMargin(short margin);
// Bitmap identifiers use their low 16 bits; 0 is none.
inline unsigned SkinResourceId(unsigned id) {
    return id & 0xFFFFu;
}

// The check flag after BM_SETCHECK: a push button never holds one.
bool SkinCheckedAfterSet(int kind, bool requested);
// What a click released over the control, or the space key, asks BM_SETCHECK
// for: a check box the inverse, a radio button 1; -1 asks nothing.
int SkinCheckRequest(int kind, bool checked);

// While pressed by the mouse the pushed look follows the cursor.
enum class SkinPushChange { kNone, kPush, kRelease };
SkinPushChange FollowPush(bool cursorOver, bool pushed);

// The looks in the order in which drawing decides.
enum class SkinLook { kDisabled, kPressed, kPlainFace, kHover, kFocus, kNormal };
struct SkinLookInput {
    bool disabled, selected, focus; // from the owner-draw record
    bool checked, hover;            // kept by the control
    bool hasNormal, hasOver, hasFocus;
};
SkinLook ChooseSkinLook(const SkinLookInput& in);

enum class SkinTextColour { kKeep, kNormal, kPressed, kHover, kGray };
SkinTextColour CaptionColourFor(SkinLook look);
// Only a pressed look sinks.
inline bool IsSunkenLook(SkinLook look) {
    return look == SkinLook::kPressed;
}
inline bool DrawsFocusRect(SkinLook look, bool focus, short focusMargin) {
    return look != SkinLook::kDisabled && focus && focusMargin > 0;
}

// DrawText format bits (the values of DT_CENTER, DT_VCENTER, DT_SINGLELINE).
inline constexpr unsigned kDtCenter = 0x01;
inline constexpr unsigned kDtVCenter = 0x04;
inline constexpr unsigned kDtSingleLine = 0x20;

// Every caption is one line, centred both ways.
inline constexpr unsigned kSkinCaptionFormat = kDtCenter | kDtVCenter | kDtSingleLine;

struct SkinCaption {
    // Disabled captions are drawn twice at one place: highlight, then gray text.
    bool embossed;
    SkinRect rect;
};
// The caption keeps focus margin + 2 free at each side and moves one pixel
// right and down while pressed.
SkinCaption LayoutSkinCaption(const SkinRect& item, SkinLook look, short focusMargin);
