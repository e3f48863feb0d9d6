// The proxy list update: the download from the update server, its copies for
// the main window and for the checker, and the checker's word that a
// validated list is in place.
#include "gui/engine/proxy_engine.h"

#include <windows.h>

#include "framework/trace.h"
#include "gui/engine/url_fetch.h"
#include "shared/file_replace.h"

namespace {

const char kDownloadName[] = "Proxylist.txt";
const char kCheckerInputName[] = "Vettorlist.txt";
const char kCheckNetwork[] = " Please check your Network connection.";
const char kUpdated[] = " File Updated Successfully";

// Copies `from` over `to` by way of a file beside `to`, so `to` is either the
// old list or the new one, never a part.
bool CopyOver(const std::string& from, const std::string& to) {
    const std::string replacement = ReplacementPath(to);
    if (!::CopyFileA(from.c_str(), replacement.c_str(), FALSE) ||
        !ReplaceFileWith(replacement, to)) {
        ::DeleteFileA(replacement.c_str());
        return false;
    }
    return true;
}

} // namespace

std::string CProxyEngine::UpdateDownloadPath() const {
    return m_settings.m_strProgramDirectory + "Update\\" + kDownloadName;
}

int CProxyEngine::UpdateProxyList(bool startup) {
    TraceText("In UpdateProxyList");
    const std::string download = UpdateDownloadPath();
    const std::string checkerInput = m_settings.m_strProgramDirectory + kCheckerInputName;
    const std::string mainList = ListPath(kProxyListFileName);
    const std::string url = m_settings.m_strUpdateBaseUrl + "/" + kDownloadName;
    // Fetched beside the download and put in its place only when whole and
    // not an error page: a failed update leaves every file as it was.
    const std::string fetched = ReplacementPath(download);

    TraceText("Before GetFile");
    const std::string result = FetchUrl(url, fetched, true);
    TraceText("After GetFile");
    // Put in place on the window's thread, where every list file is touched. A
    // download that cannot be put in place is a failed download.
    bool placed = false;
    if (::lstrcmpiA(result.c_str(), "NO") == 0) {
        m_pCalls->Run([&] { placed = ReplaceFileWith(fetched, download); });
    }
    if (!placed) {
        ::DeleteFileA(fetched.c_str());
        ShowMessage(kCheckNetwork);
        if (!startup) {
            SetBusy(false);
        }
        return 0;
    }

    TraceText("Before CopyFile");
    m_pCalls->Run([&] {
        // A failed copy is not reported; the other copy still happens.
        CopyOver(download, checkerInput);
        if (!mainList.empty()) {
            CopyOver(download, mainList);
        }
    });
    TraceText("After CopyFile");

    if (!startup) {
        m_pCalls->Run([&] {
            if (m_signalUpdate) {
                m_signalUpdate();
            }
        });
        // The window does not wait for the checker.
        TraceText("Before Waiting");
        TraceText("After Waiting");
        SetBusy(false);
        TraceText("Before SetAnonimizeStatusOnListCount");
        RefreshButtons();
        TraceText("After SetAnonimizeStatusOnListCount");
        ShowMessage(kUpdated);
    }
    TraceText("Out UpdateProxyList");
    return 1;
}

void CProxyEngine::OnUpdate() {
    SetBusy(true);
    const bool started = StartWorker(
        [this] {
            TraceText("In UpdateThread");
            UpdateProxyList(false);
            TraceText("Out UpdateThread");
        },
        false);
    if (!started) {
        SetBusy(false);
    }
}

void CProxyEngine::OnCheckerDone() {
    if (StartStopState() != kStopAnonymizing) {
        LoadProxyLists();
    }
}
