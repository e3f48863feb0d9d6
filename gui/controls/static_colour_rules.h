// The picture-backed dialogs' colour rule as a decision over plain values:
// static controls become transparent over the picture, except a trackbar,
// which asks as a static too but must keep its own background.
#pragma once

#include <string>

namespace controls {

// The colour query's control type for static controls (CTLCOLOR_STATIC).
constexpr unsigned kCtlColorStatic = 6;
// Compared exactly, case included, as the class name the system reports.
extern const char* const kTrackbarClassName;

enum class StaticColourAnswer {
    kDefault,     // give the framework's default answer unchanged
    kTransparent, // transparent background mode and the hollow brush
};

StaticColourAnswer ChooseStaticColour(bool staticsTransparent, unsigned ctlType,
                                      const std::string& className);

} // namespace controls
