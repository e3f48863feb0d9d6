#include "tools/standins/judge_lies.h"

#include "tools/standins/absolute_uri.h"
#include "tools/standins/relay_manner.h"
#include "tools/standins/standin_ports.h"
#include "tools/standins/update_pages.h"

namespace standins {
namespace {

CScript Whole(std::string response, bool keep_alive) {
    CScript s;
    s.m_pieces.push_back(CPiece{0, std::move(response)});
    s.m_ending = keep_alive ? Ending::kKeepAlive : Ending::kClose;
    return s;
}

// Valid header lines, so the page keeps a judge page's shape and only its size is wrong.
const std::string& HugeFiller() {
    static const std::string filler = [] {
        std::string text;
        for (std::size_t n = 1; text.size() < kJudgeHugeFillerBytes; ++n) {
            text += "X-Padding-" + std::to_string(n) +
                    ": abcdefghijklmnopqrstuvwxyz0123456789abcdefghij\r\n";
        }
        return text;
    }();
    return filler;
}

std::string BinaryTail() {
    std::string bytes(kJudgeBinaryBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i % 256);
    }
    return bytes;
}

} // namespace

bool IsJudgeRequest(const CRequestHead& head) {
    return RequestPath(head.m_strTarget) == "/judge";
}

std::string CachedJudgePage(int listen_port) {
    return "REMOTE_ADDR: " + OnwardAddress(listen_port) +
           "\r\nHost: 127.0.0.1:" + std::to_string(kUpdateServerPort) +
           "\r\nX-Vettor-Token: " + std::string(kStaleJudgeToken) + "\r\n";
}

CScript CachedJudgeScript(int listen_port, bool head_request, bool keep_alive) {
    const Headers headers = {{"Content-Type", "text/plain"}, {"Age", "86400"}, {"X-Cache", "HIT"}};
    return Whole(
        BuildResponse(200, headers, CachedJudgePage(listen_port), keep_alive, head_request),
        keep_alive);
}

std::string_view JudgeBanner() {
    return "<div class=\"proxy-banner\">You are browsing through a free proxy. Pages may "
           "carry notices.</div>\r\n";
}

CScript HostileJudgeScript(Behaviour behaviour, const CRequestHead& head, int listen_port,
                           bool keep_alive) {
    const bool head_only = head.m_strMethod == "HEAD";
    if (!IsJudgeRequest(head)) {
        return ScriptFor(Behaviour::kOk, 0, head_only, keep_alive);
    }
    const std::string start = JudgePage(OnwardAddress(listen_port), head.m_headers);
    const Headers text = {{"Content-Type", "text/plain"}};
    switch (behaviour) {
    case Behaviour::kJudgeHuge:
        return Whole(BuildResponse(200, text, start + HugeFiller(), keep_alive, head_only),
                     keep_alive);
    case Behaviour::kJudgeBinary:
        return Whole(BuildResponse(200, text, start + BinaryTail(), keep_alive, head_only),
                     keep_alive);
    case Behaviour::kJudgeEndless: {
        // No length: the body ends only with the connection, which this side never ends.
        Headers headers = text;
        headers.push_back(CHeader{"Connection", "close"});
        CScript s;
        s.m_pieces.push_back(CPiece{0, BuildResponseHead(200, headers) + (head_only ? "" : start)});
        s.m_ending = head_only ? Ending::kClose : Ending::kTrickleLines;
        return s;
    }
    default:
        break;
    }
    return ScriptFor(Behaviour::kOk, 0, head_only, keep_alive);
}

} // namespace standins
