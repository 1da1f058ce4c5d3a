#pragma once
// The per-user profile record in user.ini (GetUserProfileFile): one struct
// stored by the system's private-profile functions as hexadecimal text with
// a checksum, section "ke_user_profile", key "ke_user_main_key".
#include "ui/core/UiString.h"

#include <stddef.h>

#include <mutex>
#include <string>

struct KEUserProfileRecord {
    long long counter;        // offset 0
    char userData[2048];      // offset 8, NUL-terminated
    int useCount;             // offset 2056, the larger of the two counts
    char identifier[33];      // offset 2060, 32 lower-case hex digits
    char padding[3];          // offset 2093
};
// The stored layout is fixed: older and newer builds read the same file.
static_assert(offsetof(KEUserProfileRecord, userData) == 8, "record layout");
static_assert(offsetof(KEUserProfileRecord, useCount) == 2056, "record layout");
static_assert(offsetof(KEUserProfileRecord, identifier) == 2060, "record layout");
static_assert(sizeof(KEUserProfileRecord) == 2096, "the stored record is 2096 bytes");

// Whole-record file access; false when the file, section or key is missing,
// the stored text is not a record of this size or its checksum is wrong.
bool ReadUserProfileRecord(const wchar_t* file, KEUserProfileRecord* record);
bool WriteUserProfileRecord(const wchar_t* file, const KEUserProfileRecord& record);

// MD5 (lower-case hex) of a new brace-less GUID in the ANSI code page.
std::string MakeProfileIdentifier();

// The process-wide profile, loaded from GetUserProfileFile() on first use.
// A record without an identifier gets one and is saved at once.
class CKEUserProfile {
public:
    static CKEUserProfile& Instance();

    long long GetCounter() const;
    void SetCounter(long long value);
    std::string GetUserData() const;
    // Cut to 2047 bytes.
    void SetUserData(const std::string& text);
    // Two counts are kept; the record stores the larger.
    void SetCounts(int first, int second);
    int GetUseCount() const;
    std::string GetIdentifier() const;

    // Writes the record back; false when it could not be stored.
    bool Save();
    // Rereads the file (a missing or damaged record starts empty).
    void Reload();

private:
    CKEUserProfile();
    CKEUserProfile(const CKEUserProfile&) = delete;
    CKEUserProfile& operator=(const CKEUserProfile&) = delete;
    void LoadLocked();
    bool SaveLocked();

    mutable std::mutex m_lock;
    KEUserProfileRecord m_record;
    int m_firstCount;
    int m_secondCount;
};
