#include "tools/standins/relay_manner.h"

#include "tools/standins/judge_lies.h"

namespace standins {

int OnwardHostNumber(int listen_port) {
    // 0 and 1 would be no address of a proxy's own; 255 looks like a broadcast.
    const int spread = listen_port % 250;
    return 2 + (spread < 0 ? spread + 250 : spread);
}

std::string OnwardAddress(int listen_port) {
    return "127.0.0." + std::to_string(OnwardHostNumber(listen_port));
}

CRelayManner RelayMannerFor(Behaviour behaviour, int listen_port, std::string_view client_address) {
    CRelayManner manner;
    manner.m_strOnwardAddress = OnwardAddress(listen_port);
    if (behaviour == Behaviour::kRelayNoConnect) {
        manner.m_connect = ConnectPolicy::kRefuse;
    }
    // A name, no address: the Via alone must not look like the user's.
    const CHeader via{"Via", "1.1 farm-" + std::to_string(listen_port) + " (proxy_farm)"};
    if (behaviour == Behaviour::kTransparent || behaviour == Behaviour::kJudgeRewrite) {
        const std::string client = client_address.empty() ? "unknown" : std::string(client_address);
        manner.m_marks = {{"X-Forwarded-For", client}, via};
    } else if (behaviour == Behaviour::kAnonymous) {
        manner.m_marks = {via};
    }
    if (behaviour == Behaviour::kJudgeRewrite) {
        manner.m_strJudgeBanner = JudgeBanner();
    }
    return manner;
}

std::string_view BodyPrefixFor(const CRelayManner& manner, const CRequestHead& head) {
    return IsJudgeRequest(head) ? manner.m_strJudgeBanner : std::string_view();
}

} // namespace standins
