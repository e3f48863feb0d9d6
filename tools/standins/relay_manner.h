// How each relaying port of the farm treats what passes through it: where it
// connects onward from, which headers it adds, what it does to the judge's
// page. Plain values.
#pragma once

#include "tools/standins/farm_behaviour.h"
#include "tools/standins/http_head.h"
#include "tools/standins/relay_rules.h"

#include <string>
#include <string_view>

namespace standins {

// A relaying port connects onward from 127.0.0.N, N = 2 + port % 250 (2..251)
// of the port it listens on, so an origin such as the judge sees the proxy,
// not the user at 127.0.0.1, as on the internet. Linux answers on all of 127/8.
int OnwardHostNumber(int listen_port);
std::string OnwardAddress(int listen_port);

struct CRelayManner {
    ConnectPolicy m_connect = ConnectPolicy::kTunnel;
    std::string m_strOnwardAddress;
    Headers m_marks;                   // added to every forwarded plain-HTTP request
    std::string_view m_strJudgeBanner; // put in front of the judge's page
};

// `client_address` is where the client's connection came from.
CRelayManner RelayMannerFor(Behaviour behaviour, int listen_port, std::string_view client_address);

// What goes in front of the body of the answer to `head`: the banner, for the judge's page only.
std::string_view BodyPrefixFor(const CRelayManner& manner, const CRequestHead& head);

} // namespace standins
