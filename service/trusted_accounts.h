// The accounts the service takes as its own: its own token's user and
// default owner, LocalSystem, the administrators and TrustedInstaller. What
// they made or may change is as safe as the service itself; anything another
// account made or may change is not.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CTrustedAccounts {
public:
    CTrustedAccounts();

    // Whether a kernel object's owner is one of the accounts. False also
    // when the owner cannot be read: an object the service made always lets
    // it read that. `ownerText` names the owner when it could be read, and
    // is left as it was otherwise.
    bool OwnsObject(HANDLE object, std::string& ownerText) const;

    // The accounts as "S-1-..." texts.
    std::vector<std::string> SidTexts() const;

private:
    void Add(PSID sid);
    void AddWellKnown(WELL_KNOWN_SID_TYPE type);
    void AddFromToken(HANDLE token, TOKEN_INFORMATION_CLASS which);

    std::vector<std::vector<BYTE>> m_sids;
};
