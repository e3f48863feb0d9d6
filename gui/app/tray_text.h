// What Sulvantix's notification-area icon says, as plain values: the state,
// the proxy in force with the class the checker found for it, and the time to
// the next switch in the tooltip, and which switches get a balloon. Portable:
// the icon's glue (tray_icon.h) only sends what this computes. Texts are
// UTF-8; sizes count UTF-16 code units, which is how the shell's fixed
// buffers measure them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "shared/proxy_class_file.h"

// Room in NOTIFYICONDATAW's buffers, the terminator not counted.
inline constexpr std::size_t kTrayTipUnits = 127;
inline constexpr std::size_t kTrayBalloonUnits = 255;

// "m:ss" with the seconds rounded up (a switch 41.2 s away is "0:42"), the
// minutes unbounded ("120:00" for the longest period); "0:00" at or below 0.
std::string CountdownText(std::int64_t ms);

// `text` cut to at most `units` UTF-16 code units at a code point boundary,
// ending with "…" when anything was cut.
std::string FitUtf16(const std::string& text, std::size_t units);

class CTrayModel {
public:
    // The session starts or ends (the Start/Stop button's look).
    void OnSession(bool on);
    // A switch of the session at `nowMs` put `entry` in force, the next one
    // due `periodMs` later; an empty entry ends the session. True when the
    // switch shows a balloon: the first of each session, the others while
    // the user has balloons on.
    bool OnProxyInForce(const std::string& entry, unsigned periodMs, std::uint64_t nowMs);
    // What the checker's last run found of the entry in force; nothing when
    // it said nothing usable. A switch or a session's change forgets it.
    void SetProxyClass(std::optional<CProxyClass> proxyClass);
    const std::string& InForce() const { return m_strInForce; }

    bool SessionOn() const { return m_bSession; }
    bool BalloonsOn() const { return m_bBalloons; }
    void SetBalloonsOn(bool on) { m_bBalloons = on; }

    // "Sulvantix — stopped", "Sulvantix — finding a proxy" before the first
    // switch, "Sulvantix — via 203.0.113.7:8080 (elite, 412 ms), next in 0:42"
    // after one (without the parenthesis while the class is not known),
    // "…, switching" once the switch is due; the entry shortened to fit.
    std::string TipText(std::uint64_t nowMs) const;
    // The balloon's text for the entry in force, with its class.
    std::string BalloonText() const;

private:
    // " (elite, 412 ms)", " (anonymity unknown, 412 ms)" or nothing.
    std::string ClassText() const;
    // ClassText() when `head`, it and `tail` leave the entry room in `units`.
    std::string ClassWithin(const std::string& head, const std::string& tail,
                            std::size_t units) const;

    bool m_bSession = false;
    bool m_bBalloons = false;
    bool m_bFirstSwitchShown = false;
    std::string m_strInForce;
    std::optional<CProxyClass> m_proxyClass;
    std::uint64_t m_nNextSwitchMs = 0;
};
