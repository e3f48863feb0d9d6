#include "gui/controls/static_colour_rules.h"

namespace controls {

const char* const kTrackbarClassName = "msctls_trackbar32";

StaticColourAnswer ChooseStaticColour(bool staticsTransparent, unsigned ctlType,
                                      const std::string& className) {
    if (!staticsTransparent || ctlType != kCtlColorStatic || className == kTrackbarClassName) {
        return StaticColourAnswer::kDefault;
    }
    return StaticColourAnswer::kTransparent;
}

} // namespace controls
