// Pixel geometry of the skin button without Windows headers: the runs of a
// mask that make its window region, and the tiles that fill a rectangle.
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
