#pragma once

// A private folder under /tmp for one test. It goes with everything in it when
// the test ends, also the folders a test made unreadable to provoke a failure.

#include <filesystem>
#include <string>

namespace quorrel::test {

class CTempFolder final {
public:
    explicit CTempFolder(const std::string& prefix);
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace quorrel::test
