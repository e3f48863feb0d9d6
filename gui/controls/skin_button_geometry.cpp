#include "skin_button_geometry.h"

#include <algorithm>

void FindMaskRuns(int width, int height, const std::function<bool(int x, int y)>& isOpaque,
                  CMaskRunList& runs) {
    for (int y = height - 1; y >= 0; --y) {
        int start = -1;
        for (int x = 0; x < width; ++x) {
            bool opaque = isOpaque(x, y);
            if (opaque && start < 0) {
                start = x;
            } else if (!opaque && start >= 0) {
                runs.Add(SkinRect{start, y, x, y + 1});
                start = -1;
            }
        }
        if (start >= 0) {
            runs.Add(SkinRect{start, y, width, y + 1});
        }
    }
}

std::vector<SkinRect> TileRects(const SkinRect& area, int tileWidth, int tileHeight) {
    std::vector<SkinRect> tiles;
    // A tile without area would never advance.
    if (tileWidth <= 0 || tileHeight <= 0) {
        return tiles;
    }
    for (int y = area.top; y < area.bottom; y += tileHeight) {
        for (int x = area.left; x < area.right; x += tileWidth) {
            tiles.push_back(SkinRect{x, y, std::min(x + tileWidth, area.right),
                                     std::min(y + tileHeight, area.bottom)});
        }
    }
    return tiles;
}
