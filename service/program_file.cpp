#include "service/program_file.h"

#include <utility>

namespace {

bool IdentityOf(HANDLE file, CFileIdentity& identity) {
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    identity.m_nVolumeSerial = info.dwVolumeSerialNumber;
    identity.m_nIndexHigh = info.nFileIndexHigh;
    identity.m_nIndexLow = info.nFileIndexLow;
    return true;
}

} // namespace

bool IdentifyFile(const std::string& path, CFileIdentity& identity) {
    const UniqueHandle file(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && IdentityOf(file.Get(), identity);
}

bool CHeldProgram::Hold(const std::string& path) {
    Release();
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !IdentityOf(file.Get(), m_identity)) {
        return false;
    }
    m_hFile = std::move(file);
    return true;
}
