#include "gui/app/tray_text.h"

#include <utility>

namespace {

const char kProgram[] = "Sulvantix";
const char kDash[] = " \xE2\x80\x94 "; // an em dash between spaces
const char kEllipsis[] = "\xE2\x80\xA6";

// UTF-16 code units of the code point a UTF-8 byte starts; 0 for a byte
// inside one. Malformed bytes count as one unit each, as the converter's
// replacement character would.
std::size_t UnitsOfLead(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) {
        return 0;
    }
    return (byte & 0xF8) == 0xF0 ? 2 : 1;
}

std::size_t Utf16Units(const std::string& text) {
    std::size_t units = 0;
    for (char c : text) {
        units += UnitsOfLead(static_cast<unsigned char>(c));
    }
    return units;
}

// `head` + `entry` + `tail`, the entry shortened so the whole fits `units`.
std::string FitAround(const std::string& head, const std::string& entry, const std::string& tail,
                      std::size_t units) {
    const std::size_t fixed = Utf16Units(head) + Utf16Units(tail);
    if (fixed >= units) {
        return FitUtf16(head + entry + tail, units);
    }
    return head + FitUtf16(entry, units - fixed) + tail;
}

} // namespace

std::string CountdownText(std::int64_t ms) {
    const std::int64_t seconds = ms <= 0 ? 0 : (ms + 999) / 1000;
    const std::int64_t rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string FitUtf16(const std::string& text, std::size_t units) {
    if (Utf16Units(text) <= units) {
        return text;
    }
    if (units == 0) {
        return std::string();
    }
    // Keep whole code points while they and the ellipsis (one unit) fit.
    std::size_t used = 0;
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t lead = UnitsOfLead(static_cast<unsigned char>(text[i]));
        if (lead == 0) {
            continue;
        }
        if (used + lead + 1 > units) {
            break;
        }
        used += lead;
        end = i + 1;
        while (end < text.size() && UnitsOfLead(static_cast<unsigned char>(text[end])) == 0) {
            ++end;
        }
    }
    return text.substr(0, end) + kEllipsis;
}

void CTrayModel::OnSession(bool on) {
    if (on == m_bSession) {
        return;
    }
    m_bSession = on;
    m_bFirstSwitchShown = false;
    m_strInForce.clear();
    m_proxyClass.reset();
}

bool CTrayModel::OnProxyInForce(const std::string& entry, unsigned periodMs, std::uint64_t nowMs) {
    if (entry.empty()) {
        OnSession(false);
        return false;
    }
    // A switch is proof of a session, whatever the button's look said.
    OnSession(true);
    m_strInForce = entry;
    m_proxyClass.reset();
    m_nNextSwitchMs = nowMs + periodMs;
    const bool show = !m_bFirstSwitchShown || m_bBalloons;
    m_bFirstSwitchShown = true;
    return show;
}

void CTrayModel::SetProxyClass(std::optional<CProxyClass> proxyClass) {
    m_proxyClass = std::move(proxyClass);
}

std::string CTrayModel::ClassText() const {
    if (!m_proxyClass) {
        return std::string();
    }
    const std::string name =
        m_proxyClass->m_strClass == "unknown" ? "anonymity unknown" : m_proxyClass->m_strClass;
    return " (" + name + ", " + std::to_string(m_proxyClass->m_nRoundTripMs) + " ms)";
}

std::string CTrayModel::TipText(std::uint64_t nowMs) const {
    const std::string head = std::string(kProgram) + kDash;
    if (!m_bSession) {
        return head + "stopped";
    }
    if (m_strInForce.empty()) {
        return head + "finding a proxy";
    }
    const std::string tail =
        nowMs >= m_nNextSwitchMs
            ? ", switching"
            : ", next in " + CountdownText(static_cast<std::int64_t>(m_nNextSwitchMs - nowMs));
    const std::string via = head + "via ";
    return FitAround(via, m_strInForce, ClassWithin(via, tail, kTrayTipUnits) + tail,
                     kTrayTipUnits);
}

std::string CTrayModel::BalloonText() const {
    const std::string head = "Now browsing via ";
    return FitAround(head, m_strInForce, ClassWithin(head, std::string(), kTrayBalloonUnits),
                     kTrayBalloonUnits);
}

std::string CTrayModel::ClassWithin(const std::string& head, const std::string& tail,
                                    std::size_t units) const {
    // The entry is shortened to make room; a class that would leave it no
    // room at all is left out whole rather than cut.
    const std::string text = ClassText();
    return Utf16Units(head + text + tail) + 2 > units ? std::string() : text;
}
