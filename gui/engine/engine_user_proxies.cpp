// The user's own proxies: checking a typed proxy, adding it to the list and
// to "Userproxy.txt", removing the selected entry from the list and its files.
#include "proxy_engine.h"

#include "marshalled_options.h"
#include "proxy_list_loader.h"
#include "shared/list_lines.h"
#include "shared/proxy_address_data.h"
#include "shared/proxy_entry.h"
#include "user_proxy_text.h"

namespace {

const char kEnterBoth[] = " Please enter both address and port of Proxy";
const char kAlive[] = " This proxy is alive.You may use it";
const char kNotAlive[] = " This proxy is not alive.";
const char kBlankAddress[] = " Blank IP Address is not allowed ! ";
const char kBlankPort[] = " Blank Port Number is not allowed ! ";
const char kNotLiveSuffix[] = " is not live Proxy . It can not be added.";
const char kAlreadyExists[] = " Entry already exist!";
const char kNotSaved[] = " The proxy could not be saved in Userproxy.txt. It was not added.";

} // namespace

void CProxyEngine::ReadProxyFields(std::string& address, std::string& port) {
    std::uint8_t fields[4] = {};
    const int nonBlank = m_pWindow->AddressFields(fields);
    address = UserProxyAddress(fields, nonBlank);
    port = TrimmedPortText(m_pWindow->PortText());
}

int CProxyEngine::TestUserProxy() {
    PumpPendingMessages();
    if (m_bClosing) {
        m_pWindow->SetAnonimizeStatusOnListCount();
        return 0;
    }
    std::string address;
    std::string portText;
    ReadProxyFields(address, portText);
    PumpPendingMessages();
    if (m_bClosing) {
        m_pWindow->SetAnonimizeStatusOnListCount();
        return 0;
    }
    if (address.empty() || portText.empty()) {
        m_pWindow->ShowMessage(kEnterBoth);
        return 0;
    }
    const int port = AtoiDecimal(portText);
    m_pWindow->EnableControlGroup(3, true);
    PumpPendingMessages();
    if (m_bClosing) {
        return 0;
    }

    // A worker's saving and writing back run on the window's thread.
    CMarshalledOptions options(m_api, m_pCalls);
    CProxyAddressData data;
    data.m_pInternetOptions = &options;
    const unsigned sessionsBefore = m_nSessionsStarted;
    const bool saved = data.SaveProxyOptions();

    const bool alive = data.ProbeProxy(address, port);
    if (!m_bQuietCheck) {
        m_pWindow->ShowMessage(alive ? kAlive : kNotAlive);
    }
    // A session started meanwhile owns the settings now; writing the
    // pre-session ones back would take its proxy away behind its back.
    if (saved && m_nSessionsStarted == sessionsBefore) {
        data.RestoreProxyOptions();
    }
    PumpPendingMessages();
    if (!m_bClosing) {
        m_pWindow->EnableControlGroup(3, false);
        PumpPendingMessages();
    }
    return alive ? 1 : 0;
}

void CProxyEngine::AddUserProxy() {
    m_pWindow->UpdateData(true);
    std::string address;
    std::string portText;
    ReadProxyFields(address, portText);
    if (address.empty()) {
        m_pWindow->ShowMessage(kBlankAddress);
        m_pWindow->SetAnonimizeStatusOnListCount();
        return;
    }
    if (portText.empty()) {
        m_pWindow->ShowMessage(kBlankPort);
        m_pWindow->SetAnonimizeStatusOnListCount();
        return;
    }
    const std::string entry = UserProxyEntry(address, portText);
    g_nCurrentPort = AtoiDecimal(portText);

    m_bQuietCheck = true;
    const int alive = TestUserProxy();
    m_bQuietCheck = false;
    if (alive == 0) {
        m_pWindow->ShowMessage(entry + kNotLiveSuffix);
        m_pWindow->SetAnonimizeStatusOnListCount();
        return;
    }
    if (m_pWindow->ListSelectString(entry) >= 0) {
        m_pWindow->ShowMessage(kAlreadyExists);
        m_pWindow->SetAnonimizeStatusOnListCount();
        return;
    }
    const std::string userList = ListPath(kUserProxyFileName);
    if (userList.empty() || !AppendListLine(userList, entry)) {
        // Listed without being stored, it would vanish at the next load.
        m_pWindow->ShowMessage(kNotSaved);
        m_pWindow->SetAnonimizeStatusOnListCount();
        return;
    }
    if (m_pWindow->ListSelectString(entry) < 0) {
        m_pWindow->ListAddString(entry);
        m_pWindow->ClearAddress();
        m_pWindow->ClearPort();
        m_pWindow->SetAnonimizeStatusOnListCount();
    } else {
        m_pWindow->ShowMessage(kAlreadyExists);
        m_pWindow->SetAnonimizeStatusOnListCount();
    }
}

void CProxyEngine::RemoveSelectedProxy() {
    const int selected = m_pWindow->ListCurSel();
    if (selected >= 0) {
        const std::string entry = m_pWindow->ListText(selected);
        m_pWindow->ListDeleteString(selected);
        RemoveProxyFromFiles(entry);
    }
    m_pWindow->SetAnonimizeStatusOnListCount();
}

void CProxyEngine::OnVettor() {
    StartWorker(&CProxyEngine::TestUserProxy, true);
}
