#include "support/TempFolder.h"

#include <stdexcept>
#include <system_error>
#include <vector>

#include <stdlib.h>

namespace quorrel::test {

namespace fs = std::filesystem;

namespace {

// Gives the owner back every folder below `dir` (not following links), so that
// remove_all can enter and empty them.
void OpenUp(const fs::path& dir)
{
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            OpenUp(it->path());
    }
}

} // namespace

CTempFolder::CTempFolder(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    m_path = buffer.data();
}

CTempFolder::~CTempFolder()
{
    OpenUp(m_path);
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

} // namespace quorrel::test
