// The per-connection option members of CProxyAddressData: one object saves,
// applies or restores for one use (a single-proxy check, one apply).
#include "shared/proxy_address_data.h"

bool CProxyAddressData::SaveProxyOptions() {
    try {
        return ::SaveProxyOptions(*m_pInternetOptions, m_SavedOptions);
    } catch (...) {
        return false;
    }
}

bool CProxyAddressData::RestoreProxyOptions() {
    try {
        return ::RestoreProxyOptions(*m_pInternetOptions, m_SavedOptions);
    } catch (...) {
        return false;
    }
}

bool CProxyAddressData::ApplyProxy(const std::string& address, int port) {
    try {
        return ::ApplyProxy(*m_pInternetOptions, address, port);
    } catch (...) {
        return false;
    }
}
