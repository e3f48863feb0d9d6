// The list-file member of CProxyAddressData; the probe members live in
// proxy_address_data.cpp. This one needs no Windows header.
#include "shared/proxy_address_data.h"

#include "shared/list_lines.h"

bool CProxyAddressData::RemoveLineFromFile(const std::string& path, const std::string& entry) {
    return RemoveListLine(path, entry);
}
