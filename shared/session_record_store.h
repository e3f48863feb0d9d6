// The session record's file, "SavedProxySettings.dat" in one folder. A write
// replaces the whole file in one step, so a kill or power cut at any moment
// leaves either the old record or the new one, never a mix. Every operation
// catches everything and answers a neutral result. One writer at a time: the
// temporary file's name is fixed.
#pragma once

#include <string>

#include "shared/session_record.h"

class CSessionRecordStore {
public:
    enum class ReadResult { None, Valid, Corrupt };

    // An empty folder (an unknown one) makes every operation fail; nothing is
    // ever read or written in the current directory.
    explicit CSessionRecordStore(std::string folder);

    // "<local application data>\Sulvantix", or empty when the system does
    // not say where that is.
    static std::string DefaultFolder();

    // Creates the folder when missing, writes a temporary file beside the
    // record, flushes it and moves it over the record. False, with the old
    // record whole and no temporary left, when any step fails or the record
    // cannot be formatted.
    bool Write(const CSessionRecord& record);

    // None when there is no record; Corrupt when it cannot be read or parsed
    // (record untouched then); Valid with the record filled.
    ReadResult Read(CSessionRecord& record) const;

    // True when no record is left, also when there was none.
    bool Remove();

    // Renames the record to "SavedProxySettings.dat.bad-<YYYYMMDD-HHMMSS>-<n>"
    // in the same folder, never over an earlier one. True when no record is
    // left at Path(), also when there was none.
    bool SetAside();

    // The record's full path; empty when the folder is unknown.
    std::string Path() const;

private:
    std::string TempPath() const;

    std::string m_strFolder;
};
