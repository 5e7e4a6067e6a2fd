#pragma once
// The living wallpaper's own folder, $XDG_DATA_HOME/quorrel/living/, and
// the files in it. The player maps what is written there and off deletes
// what the state names, so the folder must be this user's alone: it is
// created 0700 and refused when it is a symbolic link, another user owns it,
// or anyone else may write to it. Every file is written through the
// folder's own descriptor, into a private temporary renamed over its name
// when whole: a link planted under a name is replaced, never followed.
// Plain POSIX: the player uses it too.

#include <cstdint>
#include <span>
#include <string>

namespace quorrel::output::living {

// Makes `folder` (its parents as needed, 0700 itself) and checks it. False
// with the reason.
bool MakeLivingFolder(const std::string& folder, std::string& error);
// Checks an existing folder as MakeLivingFolder does.
bool CheckLivingFolder(const std::string& folder, std::string& error);

// A file written into a checked folder under `name` (a plain name, no
// slash), put in place by Commit; discarded otherwise.
class CLivingFile final {
public:
    CLivingFile() = default;
    ~CLivingFile();
    CLivingFile(const CLivingFile&) = delete;
    CLivingFile& operator=(const CLivingFile&) = delete;

    bool Open(const std::string& folder, const std::string& name, std::string& error);
    bool Write(std::span<const uint8_t> bytes);
    // Flushes and renames the temporary over the name; false with the reason
    // (also for any write that failed before).
    bool Commit(std::string& error);

private:
    void Discard();

    int m_folderFd = -1;
    int m_fd = -1;
    std::string m_name;
    std::string m_temporary;
    std::string m_failure;
};

// Writes `bytes` whole as `folder`/`name`; false with the reason.
bool WriteLivingFile(const std::string& folder, const std::string& name, std::span<const uint8_t> bytes,
                     std::string& error);

// Removes `folder`/`name` without following a link; true when it is gone.
bool RemoveLivingFile(const std::string& folder, const std::string& name);

} // namespace quorrel::output::living
