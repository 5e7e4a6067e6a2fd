#pragma once
// A key of the per-user settings store, reached through a small backend so
// the model stays free of any platform library. The stored defaults and the
// wallpaper settings use it.

#include "DataObj.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorrel::model {

enum class RegistryRoot { CurrentUser };

// Value types and result codes as the registry names them.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr int32_t kRegSuccess = 0;
inline constexpr int32_t kRegFileNotFound = 2;
inline constexpr int32_t kRegInvalidHandle = 6;
inline constexpr int32_t kRegMoreData = 234;

// What the platform provides: keys addressed by their full path below the
// root ("Software\\Vantorel\\Quorrel\\DefVals"), typed byte values inside.
class IRegistryBackend {
public:
    virtual ~IRegistryBackend() = default;
    virtual int32_t OpenKey(RegistryRoot root, const std::string& path) = 0;
    virtual int32_t CreateKey(RegistryRoot root, const std::string& path) = 0;
    virtual int32_t QueryValue(RegistryRoot root, const std::string& path, const std::string& name,
                               uint32_t& type, std::vector<uint8_t>& data) = 0;
    virtual int32_t SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                             uint32_t type, std::span<const uint8_t> data) = 0;
};

// The process-wide backend; without one every operation fails quietly.
void SetRegistryBackend(IRegistryBackend* backend);
IRegistryBackend* GetRegistryBackend();

class CRegistryKey final {
public:
    explicit CRegistryKey(RegistryRoot root = RegistryRoot::CurrentUser);
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    bool Open(RegistryRoot root, const std::string& subkey);
    bool Create(RegistryRoot root, const std::string& subkey);
    bool OpenPath(RegistryRoot root, const std::string& subkey);
    void Close();

    bool WriteString(const std::string& name, const std::string& text);
    // Reads at most 4096 bytes; a binary value is loaded as an object list.
    // A value that does not load leaves the list empty.
    bool ReadObList(const std::string& name, CObList& list);
    bool WriteObList(const std::string& name, const CObList& list);

    int32_t m_lStatus = kRegSuccess;
    uint32_t m_dwType = kRegNone;
    uint32_t m_dwSize = 0;
    RegistryRoot m_root;
    std::optional<std::string> m_hKey;   // the open key's path, if any
    std::string m_strPath;

private:
    bool Write(const std::string& name, uint32_t type, std::span<const uint8_t> data);
};

} // namespace quorrel::model
