#include "RegistryKey.h"

#include "Archive.h"

namespace quorrel::model {

namespace {
IRegistryBackend* g_pBackend = nullptr;
constexpr std::size_t kReadBufferSize = 4096;
}

void SetRegistryBackend(IRegistryBackend* backend) { g_pBackend = backend; }
IRegistryBackend* GetRegistryBackend() { return g_pBackend; }

CRegistryKey::CRegistryKey(RegistryRoot root) : m_root(root) {}

CRegistryKey::~CRegistryKey() { Close(); }

bool CRegistryKey::Open(RegistryRoot root, const std::string& subkey)
{
    Close();
    m_lStatus = g_pBackend ? g_pBackend->OpenKey(root, subkey) : kRegInvalidHandle;
    if (m_lStatus != kRegSuccess) {
        m_dwType = kRegNone;
        m_dwSize = 0;
        return false;
    }
    m_root = root;
    m_hKey = subkey;
    return true;
}

bool CRegistryKey::Create(RegistryRoot root, const std::string& subkey)
{
    Close();
    m_lStatus = g_pBackend ? g_pBackend->CreateKey(root, subkey) : kRegInvalidHandle;
    m_dwType = kRegNone;
    m_dwSize = 0;
    if (m_lStatus != kRegSuccess)
        return false;
    m_root = root;
    m_hKey = subkey;
    return true;
}

bool CRegistryKey::OpenPath(RegistryRoot root, const std::string& subkey)
{
    m_strPath = subkey;
    m_dwType = kRegNone;
    m_dwSize = 0;
    return Open(root, subkey);
}

void CRegistryKey::Close() { m_hKey.reset(); }

bool CRegistryKey::Write(const std::string& name, uint32_t type, std::span<const uint8_t> data)
{
    m_lStatus = (g_pBackend && m_hKey) ? g_pBackend->SetValue(m_root, *m_hKey, name, type, data)
                                       : kRegInvalidHandle;
    m_dwType = type;
    m_dwSize = static_cast<uint32_t>(data.size());
    return m_lStatus == kRegSuccess;
}

bool CRegistryKey::WriteString(const std::string& name, const std::string& text)
{
    // The stored form includes the terminating NUL.
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return Write(name, kRegSz, bytes);
}

bool CRegistryKey::ReadObList(const std::string& name, CObList& list)
{
    std::vector<uint8_t> data;
    uint32_t type = kRegNone;
    m_lStatus = (g_pBackend && m_hKey) ? g_pBackend->QueryValue(m_root, *m_hKey, name, type, data)
                                       : kRegInvalidHandle;
    if (m_lStatus == kRegSuccess && data.size() > kReadBufferSize)
        m_lStatus = kRegMoreData;
    if (m_lStatus != kRegSuccess)
        return false;
    m_dwType = type;
    m_dwSize = static_cast<uint32_t>(data.size());
    if (type == kRegBinary) {
        list.clear();
        try {
            CArchive ar(std::span<const uint8_t>(data.data(), data.size()));
            list = LoadObList(ar);
        } catch (const CArchiveException&) {
            list.clear();   // an unreadable value must not stop documents from being created
        }
    }
    return true;
}

bool CRegistryKey::WriteObList(const std::string& name, const CObList& list)
{
    CArchive ar(kReadBufferSize);
    StoreObList(ar, list);
    return Write(name, kRegBinary, ar.Buffer());
}

} // namespace quorrel::model
