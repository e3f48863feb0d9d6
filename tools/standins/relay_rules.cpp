#include "tools/standins/relay_rules.h"

namespace standins {
namespace {

void RemoveHopByHop(Headers& headers) {
    // Headers named in Connection are hop-by-hop as well.
    if (const std::optional<std::string_view> connection = FindHeader(headers, "Connection")) {
        std::string_view list = *connection;
        while (true) {
            const std::size_t comma = list.find(',');
            std::string_view name = list.substr(0, comma);
            while (!name.empty() && name.front() == ' ') {
                name.remove_prefix(1);
            }
            while (!name.empty() && name.back() == ' ') {
                name.remove_suffix(1);
            }
            const std::string owned(name);
            if (!owned.empty() && !EqualsIgnoreCase(owned, "close") &&
                !EqualsIgnoreCase(owned, "keep-alive")) {
                RemoveHeader(headers, owned);
            }
            if (comma == std::string_view::npos) {
                break;
            }
            list.remove_prefix(comma + 1);
        }
    }
    for (std::string_view name :
         {"Connection", "Keep-Alive", "Proxy-Connection", "Proxy-Authorization",
          "Proxy-Authenticate", "TE", "Trailer", "Upgrade"}) {
        RemoveHeader(headers, name);
    }
}

void AddMarks(Headers& headers, const Headers& marks) {
    for (const CHeader& mark : marks) {
        auto same = headers.begin();
        while (same != headers.end() && !EqualsIgnoreCase(same->m_strName, mark.m_strName)) {
            ++same;
        }
        if (same != headers.end() && EqualsIgnoreCase(mark.m_strName, "X-Forwarded-For")) {
            same->m_strValue += ", " + mark.m_strValue;
        } else {
            headers.push_back(mark);
        }
    }
}

std::string HexSize(std::size_t size) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[size % 16]);
        size /= 16;
    } while (size != 0);
    return hex;
}

bool BodyForbidden(int status, bool head_request) {
    return head_request || (status >= 100 && status < 200) || status == 204 || status == 304;
}

} // namespace

CRelayDecision DecideRelay(const CRequestHead& head, ConnectPolicy connect) {
    CRelayDecision decision;
    if (head.m_strMethod == "CONNECT") {
        if (connect == ConnectPolicy::kRefuse) {
            decision.m_kind = CRelayDecision::Kind::kNotImplemented;
        } else if (!SplitConnectTarget(head.m_strTarget, decision.m_uri)) {
            decision.m_kind = CRelayDecision::Kind::kBadRequest;
        } else {
            decision.m_kind = IsLoopbackHost(decision.m_uri.m_strHost)
                                  ? CRelayDecision::Kind::kTunnel
                                  : CRelayDecision::Kind::kRefusedHost;
        }
        return decision;
    }
    if (!SplitAbsoluteUri(head.m_strTarget, decision.m_uri)) {
        decision.m_kind = CRelayDecision::Kind::kBadRequest;
        return decision;
    }
    decision.m_kind = IsLoopbackHost(decision.m_uri.m_strHost) ? CRelayDecision::Kind::kForward
                                                               : CRelayDecision::Kind::kRefusedHost;
    return decision;
}

std::string BuildOriginRequest(const CRequestHead& head, const CAbsoluteUri& uri,
                               std::string_view body, const Headers& marks) {
    Headers headers = head.m_headers;
    RemoveHopByHop(headers);
    AddMarks(headers, marks);
    RemoveHeader(headers, "Transfer-Encoding");
    RemoveHeader(headers, "Content-Length");
    if (!FindHeader(headers, "Host")) {
        std::string host = uri.m_strHost;
        if (uri.m_nPort != 80) {
            host += ":" + std::to_string(uri.m_nPort);
        }
        headers.insert(headers.begin(), CHeader{"Host", host});
    }
    if (!body.empty()) {
        headers.push_back(CHeader{"Content-Length", std::to_string(body.size())});
    }
    headers.push_back(CHeader{"Connection", "close"});
    std::string out = head.m_strMethod + " " + uri.m_strPath + " HTTP/1.1\r\n";
    for (const CHeader& h : headers) {
        out += h.m_strName + ": " + h.m_strValue + "\r\n";
    }
    out += "\r\n";
    out += body;
    return out;
}

bool ReframeOriginResponse(std::string_view raw, bool head_request, bool keep_alive,
                           std::string& out, std::string_view body_prefix) {
    const std::optional<std::size_t> head_end = FindHeadEnd(raw);
    if (!head_end) {
        return false;
    }
    CResponseHead response;
    if (!ParseResponseHead(raw.substr(0, *head_end), response)) {
        return false;
    }
    std::string_view body = raw.substr(*head_end);
    Headers headers = response.m_headers;
    RemoveHopByHop(headers);
    const std::optional<std::string_view> encoding = FindHeader(headers, "Transfer-Encoding");
    const bool chunked = encoding && HasToken(*encoding, "chunked");
    std::string prefix;
    if (BodyForbidden(response.m_nStatus, head_request)) {
        body = {};
        // A HEAD answer tells the length the body would have had.
        std::size_t length = 0;
        if (head_request && !chunked && !body_prefix.empty() &&
            ContentLength(headers, length) == LengthStatus::kValid) {
            RemoveHeader(headers, "Content-Length");
            headers.push_back(
                CHeader{"Content-Length", std::to_string(length + body_prefix.size())});
        }
    } else if (chunked) {
        // The chunked body arrived whole; it frames itself.
        RemoveHeader(headers, "Content-Length");
        if (!body_prefix.empty()) {
            prefix = HexSize(body_prefix.size()) + "\r\n" + std::string(body_prefix) + "\r\n";
        }
    } else {
        std::size_t length = 0;
        if (ContentLength(headers, length) == LengthStatus::kValid && length < body.size()) {
            body = body.substr(0, length);
        }
        prefix = body_prefix;
        RemoveHeader(headers, "Content-Length");
        headers.push_back(CHeader{"Content-Length", std::to_string(prefix.size() + body.size())});
    }
    if (!keep_alive) {
        headers.push_back(CHeader{"Connection", "close"});
    }
    out = "HTTP/1.1 " + std::to_string(response.m_nStatus) + " " + response.m_strReason + "\r\n";
    for (const CHeader& h : headers) {
        out += h.m_strName + ": " + h.m_strValue + "\r\n";
    }
    out += "\r\n";
    out += prefix;
    out += body;
    return true;
}

} // namespace standins
