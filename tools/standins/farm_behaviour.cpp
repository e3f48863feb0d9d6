#include "tools/standins/farm_behaviour.h"

#include "tools/standins/http_head.h"
#include "tools/standins/standin_ports.h"

#include <charconv>

namespace standins {
namespace {

struct CNamedBehaviour {
    Behaviour m_behaviour;
    std::string_view m_strName;
};

constexpr CNamedBehaviour kNames[] = {
    {Behaviour::kOk, "ok"},
    {Behaviour::kOkLineEnd, "ok_line_end"},
    {Behaviour::kOkLower, "ok_lower"},
    {Behaviour::kEmpty, "empty"},
    {Behaviour::kPartial, "partial"},
    {Behaviour::kAuth407, "auth407"},
    {Behaviour::kAuth401, "auth401"},
    {Behaviour::kForbidden, "forbidden"},
    {Behaviour::kServerError, "server_error"},
    {Behaviour::kSilent, "silent"},
    {Behaviour::kReset, "reset"},
    {Behaviour::kSlowPieces, "slow_pieces"},
    {Behaviour::kSplitBody, "split_body"},
    {Behaviour::kEndlessHeaders, "endless_headers"},
    {Behaviour::kRelay, "relay"},
    {Behaviour::kLateOk, "late_ok"},
    {Behaviour::kRelayNoConnect, "relay_no_connect"},
    {Behaviour::kTransparent, "transparent"},
    {Behaviour::kAnonymous, "anonymous"},
    {Behaviour::kElite, "elite"},
    {Behaviour::kJudgeCache, "judge_cache"},
    {Behaviour::kJudgeRewrite, "judge_rewrite"},
    {Behaviour::kJudgeHuge, "judge_huge"},
    {Behaviour::kJudgeBinary, "judge_binary"},
    {Behaviour::kJudgeEndless, "judge_endless"},
};

bool ParseInt(std::string_view text, int& out) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, out);
    return result.ec == std::errc() && result.ptr == end;
}

std::string SmallPage(int status) {
    const std::string title = std::to_string(status) + " " + std::string(ReasonPhrase(status));
    return "<html><head><title>" + title + "</title></head><body><h1>" + title +
           "</h1></body></html>";
}

Headers HtmlHeaders() {
    return {{"Content-Type", "text/html"}};
}
Headers TextHeaders() {
    return {{"Content-Type", "text/plain"}};
}

CScript Whole(std::string response, bool keep_alive, int delay_ms = 0) {
    CScript s;
    s.m_pieces.push_back(CPiece{delay_ms, std::move(response)});
    s.m_ending = keep_alive ? Ending::kKeepAlive : Ending::kClose;
    return s;
}

CScript Slow(bool head_request, bool keep_alive) {
    const std::string response = BuildResponse(200, TextHeaders(), "OK", keep_alive, true);
    CScript s;
    const std::size_t step = (response.size() + kSlowPiecesCount - 1) / kSlowPiecesCount;
    for (std::size_t at = 0; at < response.size(); at += step) {
        s.m_pieces.push_back(CPiece{at == 0 ? 0 : kSlowPiecesGapMs, response.substr(at, step)});
    }
    if (!head_request) {
        s.m_pieces.push_back(CPiece{0, "OK"});
    }
    s.m_ending = keep_alive ? Ending::kKeepAlive : Ending::kClose;
    return s;
}

CScript Split(bool head_request, bool keep_alive) {
    const std::string head = BuildResponse(200, TextHeaders(), "OK", keep_alive, true);
    CScript s;
    if (head_request) {
        s.m_pieces.push_back(CPiece{0, head});
    } else {
        s.m_pieces.push_back(CPiece{0, head + "O"});
        s.m_pieces.push_back(CPiece{kSplitBodyGapMs, "K"});
    }
    s.m_ending = keep_alive ? Ending::kKeepAlive : Ending::kClose;
    return s;
}

} // namespace

std::string_view BehaviourName(Behaviour behaviour) {
    for (const CNamedBehaviour& n : kNames) {
        if (n.m_behaviour == behaviour) {
            return n.m_strName;
        }
    }
    return "unknown";
}

std::optional<Behaviour> BehaviourFromName(std::string_view name) {
    for (const CNamedBehaviour& n : kNames) {
        if (n.m_strName == name) {
            return n.m_behaviour;
        }
    }
    return std::nullopt;
}

const std::vector<Behaviour>& AllBehaviours() {
    static const std::vector<Behaviour> all = [] {
        std::vector<Behaviour> v;
        for (const CNamedBehaviour& n : kNames) {
            v.push_back(n.m_behaviour);
        }
        return v;
    }();
    return all;
}

std::vector<CPortBehaviour> FixedFarmPorts(int offset) {
    const CPortBehaviour table[] = {
        {kFarmOk, Behaviour::kOk, 0},
        {kFarmOkLineEnd, Behaviour::kOkLineEnd, 0},
        {kFarmOkLower, Behaviour::kOkLower, 0},
        {kFarmEmpty, Behaviour::kEmpty, 0},
        {kFarmPartial, Behaviour::kPartial, 0},
        {kFarmAuth407, Behaviour::kAuth407, 0},
        {kFarmAuth401, Behaviour::kAuth401, 0},
        {kFarmForbidden, Behaviour::kForbidden, 0},
        {kFarmServerError, Behaviour::kServerError, 0},
        {kFarmSilent, Behaviour::kSilent, 0},
        {kFarmReset, Behaviour::kReset, 0},
        {kFarmSlowPieces, Behaviour::kSlowPieces, 0},
        {kFarmSplitBody, Behaviour::kSplitBody, 0},
        {kFarmEndlessHeaders, Behaviour::kEndlessHeaders, 0},
        {kFarmRelay, Behaviour::kRelay, 0},
        {kFarmTransparent, Behaviour::kTransparent, 0},
        {kFarmAnonymous, Behaviour::kAnonymous, 0},
        {kFarmElite, Behaviour::kElite, 0},
        {kFarmJudgeCache, Behaviour::kJudgeCache, 0},
        {kFarmJudgeRewrite, Behaviour::kJudgeRewrite, 0},
        {kFarmJudgeHuge, Behaviour::kJudgeHuge, 0},
        {kFarmJudgeBinary, Behaviour::kJudgeBinary, 0},
        {kFarmJudgeEndless, Behaviour::kJudgeEndless, 0},
    };
    std::vector<CPortBehaviour> out;
    for (CPortBehaviour pb : table) {
        pb.m_nPort += offset;
        out.push_back(pb);
    }
    return out;
}

bool ParseExtraPorts(std::string_view text, CExtraPorts& out, std::string& error) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos) {
            break;
        }
        text.remove_prefix(colon + 1);
    }
    if (fields.size() != 3 && fields.size() != 4) {
        error = "expected BEHAVIOUR:FIRSTPORT:COUNT or late_ok:SECONDS:FIRSTPORT:COUNT";
        return false;
    }
    const std::optional<Behaviour> behaviour = BehaviourFromName(fields[0]);
    if (!behaviour) {
        error = "unknown behaviour '" + std::string(fields[0]) + "'";
        return false;
    }
    CExtraPorts parsed;
    parsed.m_behaviour = *behaviour;
    parsed.m_nDelaySeconds = *behaviour == Behaviour::kLateOk ? kLateOkDefaultSeconds : 0;
    std::size_t next = 1;
    if (fields.size() == 4) {
        if (*behaviour != Behaviour::kLateOk) {
            error = "only late_ok takes a number of seconds";
            return false;
        }
        if (!ParseInt(fields[1], parsed.m_nDelaySeconds) || parsed.m_nDelaySeconds < 0 ||
            parsed.m_nDelaySeconds > 3600) {
            error = "late_ok seconds must be 0..3600";
            return false;
        }
        next = 2;
    }
    if (!ParseInt(fields[next], parsed.m_nFirstPort) ||
        !ParseInt(fields[next + 1], parsed.m_nCount)) {
        error = "FIRSTPORT and COUNT must be decimal numbers";
        return false;
    }
    if (parsed.m_nCount < 1 || parsed.m_nFirstPort < 1 || parsed.m_nFirstPort > 65535 ||
        parsed.m_nCount > 65536 - parsed.m_nFirstPort) {
        error = "ports must lie within 1..65535 and COUNT be at least 1";
        return false;
    }
    out = parsed;
    return true;
}

Role RoleOf(Behaviour behaviour) {
    switch (behaviour) {
    case Behaviour::kRelay:
    case Behaviour::kRelayNoConnect:
    case Behaviour::kTransparent:
    case Behaviour::kAnonymous:
    case Behaviour::kElite:
    case Behaviour::kJudgeCache:
    case Behaviour::kJudgeRewrite:
        return Role::kRelaying;
    case Behaviour::kJudgeHuge:
    case Behaviour::kJudgeBinary:
    case Behaviour::kJudgeEndless:
        return Role::kHostileJudge;
    case Behaviour::kOk:
    case Behaviour::kOkLineEnd:
    case Behaviour::kOkLower:
    case Behaviour::kEmpty:
    case Behaviour::kPartial:
    case Behaviour::kAuth407:
    case Behaviour::kAuth401:
    case Behaviour::kForbidden:
    case Behaviour::kServerError:
    case Behaviour::kSilent:
    case Behaviour::kReset:
    case Behaviour::kSlowPieces:
    case Behaviour::kSplitBody:
    case Behaviour::kEndlessHeaders:
    case Behaviour::kLateOk:
        break;
    }
    return Role::kScripted;
}

bool IsScripted(Behaviour behaviour) {
    return RoleOf(behaviour) == Role::kScripted;
}

CScript ScriptFor(Behaviour behaviour, int delay_seconds, bool head_request, bool keep_alive) {
    const auto text = [&](int status, std::string_view body, Headers extra = {}) {
        Headers headers = TextHeaders();
        headers.insert(headers.end(), extra.begin(), extra.end());
        return BuildResponse(status, headers, body, keep_alive, head_request);
    };
    const auto html = [&](int status, const std::string& body, Headers extra = {}) {
        Headers headers = HtmlHeaders();
        headers.insert(headers.end(), extra.begin(), extra.end());
        return BuildResponse(status, headers, body, keep_alive, head_request);
    };
    switch (behaviour) {
    case Behaviour::kOk:
        return Whole(text(200, "OK"), keep_alive);
    case Behaviour::kOkLineEnd:
        return Whole(text(200, "OK\r\n"), keep_alive);
    case Behaviour::kOkLower:
        return Whole(text(200, "ok"), keep_alive);
    case Behaviour::kEmpty:
        return Whole(text(200, ""), keep_alive);
    case Behaviour::kPartial:
        return Whole(text(206, "OK", {{"Content-Range", "bytes 0-1/2"}}), keep_alive);
    case Behaviour::kAuth407:
        return Whole(html(407, ProxyAuthPage(),
                          {{"Proxy-Authenticate", "Basic realm=\"Sulvantix stand-in proxy\""}}),
                     keep_alive);
    case Behaviour::kAuth401:
        return Whole(html(401, SmallPage(401), {{"WWW-Authenticate", "Basic realm=\"stand-in\""}}),
                     keep_alive);
    case Behaviour::kForbidden:
        return Whole(html(403, SmallPage(403)), keep_alive);
    case Behaviour::kServerError:
        return Whole(html(500, SmallPage(500)), keep_alive);
    case Behaviour::kSilent:
        return CScript{{}, Ending::kHold};
    case Behaviour::kReset:
        return CScript{{}, Ending::kReset};
    case Behaviour::kSlowPieces:
        return Slow(head_request, keep_alive);
    case Behaviour::kSplitBody:
        return Split(head_request, keep_alive);
    case Behaviour::kEndlessHeaders:
        return CScript{{CPiece{0, "HTTP/1.1 200 OK\r\n"}}, Ending::kTrickle};
    case Behaviour::kLateOk:
        return Whole(text(200, "OK"), keep_alive, delay_seconds * 1000);
    case Behaviour::kRelay:
    case Behaviour::kRelayNoConnect:
    case Behaviour::kTransparent:
    case Behaviour::kAnonymous:
    case Behaviour::kElite:
    case Behaviour::kJudgeCache:
    case Behaviour::kJudgeRewrite:
    case Behaviour::kJudgeHuge:
    case Behaviour::kJudgeBinary:
    case Behaviour::kJudgeEndless:
        break;
    }
    // The other roles are not scripted; a script asked of them says so.
    return Whole(html(500, SmallPage(500)), false);
}

char TrickleByte(std::size_t index) {
    constexpr std::string_view kLine = "X-Trickle: 0123456789\r\n";
    return kLine[index % kLine.size()];
}

std::string TrickleLine(std::size_t index) {
    return "X-Trickle-" + std::to_string(index) + ": 0123456789\r\n";
}

std::string ProxyAuthPage() {
    std::string page =
        "<!DOCTYPE html>\n<html><head><title>407 Proxy Authentication Required</title>"
        "</head>\n<body>\n<h1>Proxy Authentication Required</h1>\n"
        "<p>This proxy needs a user name and a password before it forwards any "
        "request.</p>\n";
    int line = 1;
    while (page.size() < 6 * 1024) {
        page += "<p class=\"filler\">Line " + std::to_string(line++) +
                " of the explanation: supply credentials with the Proxy-Authorization "
                "header.</p>\n";
    }
    page += "</body></html>\n";
    return page;
}

} // namespace standins
