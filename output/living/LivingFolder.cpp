#include "LivingFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::output::living {

namespace {

std::string Reason(const std::string& what) { return what + ": " + std::strerror(errno); }

bool PlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Opens `folder` itself (no link as its last part) and checks the open
// folder, so what is checked is what is written into.
int OpenChecked(const std::string& folder, std::string& error)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        struct stat link {};
        error = lstat(folder.c_str(), &link) == 0 && S_ISLNK(link.st_mode)
                    ? folder + " is a symbolic link; the living wallpaper's folder must be a real folder"
                    : Reason(folder);
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        error = Reason(folder);
        close(fd);
        return -1;
    }
    if (info.st_uid != geteuid()) {
        error = folder + " belongs to another user; the living wallpaper's folder must be yours alone";
    } else if (info.st_mode & (S_IWGRP | S_IWOTH)) {
        error = folder + " may be written by other users; the living wallpaper's folder must be yours alone "
                         "(chmod 700 it)";
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

} // namespace

bool CheckLivingFolder(const std::string& folder, std::string& error)
{
    const int fd = OpenChecked(folder, error);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

bool MakeLivingFolder(const std::string& folder, std::string& error)
{
    if (folder.empty() || folder[0] != '/') {
        error = "the living wallpaper's folder needs an absolute path (is XDG_DATA_HOME or HOME set?)";
        return false;
    }
    // The parents as a user's data folders are made (0700 for new ones);
    // only the last part is ours to check.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string parent = folder.substr(0, slash);
        if (mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) {
            error = Reason(parent);
            return false;
        }
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = Reason(folder);
        return false;
    }
    return CheckLivingFolder(folder, error);
}

CLivingFile::~CLivingFile() { Discard(); }

void CLivingFile::Discard()
{
    if (m_fd >= 0)
        close(m_fd);
    if (m_folderFd >= 0) {
        if (!m_temporary.empty())
            unlinkat(m_folderFd, m_temporary.c_str(), 0);
        close(m_folderFd);
    }
    m_fd = m_folderFd = -1;
    m_temporary.clear();
}

bool CLivingFile::Open(const std::string& folder, const std::string& name, std::string& error)
{
    Discard();
    m_failure.clear();
    if (!PlainName(name)) {
        error = "'" + name + "' is not a plain file name";
        return false;
    }
    m_folderFd = OpenChecked(folder, error);
    if (m_folderFd < 0)
        return false;
    std::random_device random;
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", unsigned(random()));
        m_temporary = "." + name + ".tmp-" + suffix;
        m_fd = openat(m_folderFd, m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        error = Reason(folder + "/" + name);
        m_temporary.clear();
        Discard();
        return false;
    }
    m_name = name;
    return true;
}

bool CLivingFile::Write(std::span<const uint8_t> bytes)
{
    if (m_fd < 0 || !m_failure.empty())
        return false;
    while (!bytes.empty()) {
        const ssize_t written = write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_failure = std::strerror(written < 0 ? errno : ENOSPC);
            return false;
        }
        bytes = bytes.subspan(std::size_t(written));
    }
    return true;
}

bool CLivingFile::Commit(std::string& error)
{
    if (m_fd < 0) {
        error = "no file is open";
        return false;
    }
    if (m_failure.empty() && fsync(m_fd) != 0)
        m_failure = std::strerror(errno);
    if (m_failure.empty() && close(m_fd) != 0)
        m_failure = std::strerror(errno);
    m_fd = -1;
    if (m_failure.empty() && renameat(m_folderFd, m_temporary.c_str(), m_folderFd, m_name.c_str()) != 0)
        m_failure = std::strerror(errno);
    if (!m_failure.empty()) {
        error = m_name + " could not be written: " + m_failure;
        Discard();
        return false;
    }
    m_temporary.clear();
    fsync(m_folderFd);
    Discard();
    return true;
}

bool WriteLivingFile(const std::string& folder, const std::string& name, std::span<const uint8_t> bytes,
                     std::string& error)
{
    CLivingFile file;
    return file.Open(folder, name, error) && (file.Write(bytes), file.Commit(error));
}

bool RemoveLivingFile(const std::string& folder, const std::string& name)
{
    if (!PlainName(name))
        return false;
    std::string error;
    const int fd = OpenChecked(folder, error);
    if (fd < 0)
        return false;
    const bool gone = unlinkat(fd, name.c_str(), 0) == 0 || errno == ENOENT;
    close(fd);
    return gone;
}

} // namespace quorrel::output::living
