#include "common/UserProfile.h"

#include "common/Encoding.h"
#include "common/Folders.h"
#include "common/Identity.h"
#include "common/TextConvert.h"

#include <string.h>

namespace {

const wchar_t kSection[] = L"ke_user_profile";
const wchar_t kKey[] = L"ke_user_main_key";

bool HasIdentifier(const KEUserProfileRecord& record)
{
    return memchr(record.identifier, '\0', sizeof(record.identifier)) != nullptr && record.identifier[0] != '\0';
}

} // namespace

bool ReadUserProfileRecord(const wchar_t* file, KEUserProfileRecord* record)
{
    if (file == nullptr || record == nullptr) return false;
    KEUserProfileRecord loaded;
    memset(&loaded, 0, sizeof(loaded));
    if (!GetPrivateProfileStructW(kSection, kKey, &loaded, sizeof(loaded), file)) return false;
    // Text fields read from disk are terminated here, whatever was stored.
    loaded.userData[sizeof(loaded.userData) - 1] = '\0';
    loaded.identifier[sizeof(loaded.identifier) - 1] = '\0';
    *record = loaded;
    return true;
}

bool WriteUserProfileRecord(const wchar_t* file, const KEUserProfileRecord& record)
{
    if (file == nullptr) return false;
    return WritePrivateProfileStructW(kSection, kKey, const_cast<KEUserProfileRecord*>(&record), sizeof(record), file)
        != FALSE;
}

std::string MakeProfileIdentifier()
{
    SkinUI::CUiString guid = FormatNewGuid(false);
    if (guid.IsEmpty()) return std::string();
    return Md5Hex(WideToAnsi(guid));
}

CKEUserProfile& CKEUserProfile::Instance()
{
    // Function-local statics are built once, under the runtime's own lock.
    static CKEUserProfile profile;
    return profile;
}

CKEUserProfile::CKEUserProfile() : m_firstCount(0), m_secondCount(0)
{
    std::lock_guard<std::mutex> guard(m_lock);
    LoadLocked();
}

void CKEUserProfile::LoadLocked()
{
    memset(&m_record, 0, sizeof(m_record));
    SkinUI::CUiString file = GetUserProfileFile();
    if (!ReadUserProfileRecord(file, &m_record)) memset(&m_record, 0, sizeof(m_record));
    m_firstCount = m_secondCount = m_record.useCount;
    if (!HasIdentifier(m_record)) {
        std::string id = MakeProfileIdentifier();
        memset(m_record.identifier, 0, sizeof(m_record.identifier));
        memcpy(m_record.identifier, id.data(), id.size() < 32 ? id.size() : 32);
        SaveLocked();
    }
}

bool CKEUserProfile::SaveLocked()
{
    CreateFolderChain(GetRoamingDataFolder());
    return WriteUserProfileRecord(GetUserProfileFile(), m_record);
}

void CKEUserProfile::Reload()
{
    std::lock_guard<std::mutex> guard(m_lock);
    LoadLocked();
}

bool CKEUserProfile::Save()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return SaveLocked();
}

long long CKEUserProfile::GetCounter() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_record.counter;
}

void CKEUserProfile::SetCounter(long long value)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_record.counter = value;
}

std::string CKEUserProfile::GetUserData() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return std::string(m_record.userData);
}

void CKEUserProfile::SetUserData(const std::string& text)
{
    std::lock_guard<std::mutex> guard(m_lock);
    memset(m_record.userData, 0, sizeof(m_record.userData));
    size_t length = strnlen(text.c_str(), sizeof(m_record.userData) - 1);
    memcpy(m_record.userData, text.data(), length);
}

void CKEUserProfile::SetCounts(int first, int second)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_firstCount = first;
    m_secondCount = second;
    m_record.useCount = first > second ? first : second;
}

int CKEUserProfile::GetUseCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_record.useCount;
}

std::string CKEUserProfile::GetIdentifier() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return std::string(m_record.identifier);
}
