// The user's own proxies: checking a typed proxy, adding it to the list and
// to "Userproxy.txt", removing the selected entry from the list and its files.
#include "gui/engine/proxy_engine.h"

#include "gui/engine/marshalled_options.h"
#include "gui/engine/user_proxy_text.h"
#include "shared/list_lines.h"
#include "shared/proxy_address_data.h"
#include "shared/proxy_entry.h"

namespace {

const char kEnterBoth[] = " Please enter both address and port of Proxy";
const char kAlive[] = " This proxy is alive.You may use it";
const char kNotAlive[] = " This proxy is not alive.";
const char kBlankAddress[] = " Blank IP Address is not allowed ! ";
const char kBlankPort[] = " Blank Port Number is not allowed ! ";
const char kNotLiveSuffix[] = " is not live Proxy . It can not be added.";
const char kAlreadyExists[] = " Entry already exist!";
const char kNotSaved[] = " The proxy could not be saved in Userproxy.txt. It was not added.";

void ReadTypedProxy(const CTypedProxy& typed, std::string& address, std::string& port) {
    address = UserProxyAddress(typed.m_fields, typed.m_nNonBlank);
    port = TrimmedPortText(typed.m_strPort);
}

} // namespace

int CProxyEngine::TestUserProxy(const CTypedProxy& typed) {
    PumpPendingMessages();
    if (m_bClosing) {
        RefreshButtons();
        return 0;
    }
    std::string address;
    std::string portText;
    ReadTypedProxy(typed, address, portText);
    PumpPendingMessages();
    if (m_bClosing) {
        RefreshButtons();
        return 0;
    }
    if (address.empty() || portText.empty()) {
        ShowMessage(kEnterBoth);
        return 0;
    }
    const int port = AtoiDecimal(portText);
    SetBusy(true);
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
        ShowMessage(alive ? kAlive : kNotAlive);
    }
    // A session started meanwhile owns the settings now; writing the
    // pre-session ones back would take its proxy away behind its back.
    if (saved && m_nSessionsStarted == sessionsBefore) {
        data.RestoreProxyOptions();
    }
    PumpPendingMessages();
    if (!m_bClosing) {
        SetBusy(false);
        PumpPendingMessages();
    }
    return alive ? 1 : 0;
}

void CProxyEngine::AddUserProxy(const CTypedProxy& typed) {
    std::string address;
    std::string portText;
    ReadTypedProxy(typed, address, portText);
    if (address.empty()) {
        ShowMessage(kBlankAddress);
        RefreshButtons();
        return;
    }
    if (portText.empty()) {
        ShowMessage(kBlankPort);
        RefreshButtons();
        return;
    }
    const std::string entry = UserProxyEntry(address, portText);
    m_nCurrentPort = AtoiDecimal(portText);

    m_bQuietCheck = true;
    const int alive = TestUserProxy(typed);
    m_bQuietCheck = false;
    if (alive == 0) {
        ShowMessage(entry + kNotLiveSuffix);
        RefreshButtons();
        return;
    }
    // The list box's search selects what it finds.
    if (const int found = m_list.Find(entry); found >= 0) {
        Select(found);
        ShowMessage(kAlreadyExists);
        RefreshButtons();
        return;
    }
    const std::string userList = ListPath(kUserProxyFileName);
    if (userList.empty() || !AppendListLine(userList, entry)) {
        // Listed without being stored, it would vanish at the next load.
        ShowMessage(kNotSaved);
        RefreshButtons();
        return;
    }
    if (const int found = m_list.Find(entry); found >= 0) {
        Select(found);
        ShowMessage(kAlreadyExists);
        RefreshButtons();
        return;
    }
    const int shownAt = m_pWindow->ShowAddedEntry(entry);
    try {
        if (shownAt >= 0) {
            m_list.Insert(static_cast<std::size_t>(shownAt), entry);
        }
    } catch (...) {
        // No memory to hold it: the list and the window agree again after a load.
        LoadAndShowList();
    }
    m_pWindow->ClearTypedProxy();
    RefreshButtons();
}

void CProxyEngine::RemoveSelectedProxy() {
    const int selected = m_nSelected;
    if (selected >= 0) {
        const std::string entry(m_list.Entry(static_cast<std::size_t>(selected)));
        m_list.Erase(static_cast<std::size_t>(selected));
        m_nSelected = m_pWindow->ShowRemovedEntry(selected);
        RemoveProxyFromFiles(entry);
    }
    RefreshButtons();
}

void CProxyEngine::OnVettor(const CTypedProxy& typed) {
    StartWorker([this, typed] { TestUserProxy(typed); }, true);
}
