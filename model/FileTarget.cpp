#include "FileTarget.h"

#include <cerrno>
#include <climits>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::model {

namespace {

constexpr int kMaxLinks = 40;   // as many as the kernel follows

// "a/b/c" -> {"a/b", "c"}, "c" -> {".", "c"}, "/c" -> {"/", "c"}, "a/" -> {"a", ""}.
std::pair<std::string, std::string> Split(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder == ".")
        return name;
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// The kernel's rule for links in shared folders: a link in a sticky folder
// that everyone may write to is followed only by its owner, or when the
// folder's owner made it.
bool MayFollow(const struct stat& link, const struct stat& folder)
{
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

} // namespace

bool ResolveFileTarget(const std::string& path, CFileTarget& target, CFileError& error, SpecialFiles special)
{
    if (path.empty()) {
        error = ErrnoError(path, ENOENT);
        return false;
    }
    std::string current = path;
    bool kernelLink = false;
    for (int links = 0;; ++links) {
        const auto [folder, name] = Split(current);
        if (name.empty() || name == "." || name == "..") {
            error = ErrnoError(path, EISDIR);
            return false;
        }
        struct stat folderStat {};
        if (::stat(folder.c_str(), &folderStat) != 0) {
            error = ErrnoError(path, errno);
            return false;
        }
        if (!S_ISDIR(folderStat.st_mode)) {
            error = ErrnoError(path, ENOTDIR);
            return false;
        }
        const std::string full = Join(folder, name);
        struct stat st {};
        const bool found = ::lstat(full.c_str(), &st) == 0;
        if (!found && errno != ENOENT) {
            error = ErrnoError(path, errno);
            return false;
        }
        if (found && S_ISLNK(st.st_mode)) {
            if (links >= kMaxLinks) {
                error = ErrnoError(path, ELOOP);
                return false;
            }
            if (!MayFollow(st, folderStat)) {
                error = FileProblem(path, "a link another user made in a shared folder; not followed");
                return false;
            }
            char buffer[PATH_MAX];
            const ssize_t length = ::readlink(full.c_str(), buffer, sizeof buffer);
            if (length < 0 || length >= static_cast<ssize_t>(sizeof buffer)) {
                error = ErrnoError(path, length < 0 ? errno : ENAMETOOLONG);
                return false;
            }
            const std::string link(buffer, static_cast<std::size_t>(length));
            const std::string next = !link.empty() && link.front() == '/' ? link : Join(folder, link);
            // The kernel's own links (/dev/stdout to "pipe:[...]") lead to a
            // pipe or a device with no name to follow: taken as they are.
            // Every other hop is followed, and checked, like the first.
            struct stat followed {}, named {};
            const bool magic = special == SpecialFiles::Accept && ::lstat(next.c_str(), &named) != 0 &&
                               errno == ENOENT && ::stat(full.c_str(), &followed) == 0 &&
                               (S_ISCHR(followed.st_mode) || S_ISFIFO(followed.st_mode));
            if (!magic) {
                current = next;
                continue;
            }
            st = followed;
            kernelLink = true;
        }
        if (found && S_ISDIR(st.st_mode)) {
            error = ErrnoError(path, EISDIR);
            return false;
        }
        const bool isSpecial = found && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode));
        if (found && !S_ISREG(st.st_mode) && !(isSpecial && special == SpecialFiles::Accept)) {
            error = FileProblem(path, "not a regular file");
            return false;
        }
        if (found && S_ISREG(st.st_mode) && !ReplaceableFile(path, st, error))
            return false;
        target = CFileTarget{};
        target.path = full;
        target.folder = folder;
        target.name = name;
        target.folderDevice = folderStat.st_dev;
        target.folderInode = folderStat.st_ino;
        target.exists = found;
        target.special = isSpecial;
        target.kernelLink = kernelLink;
        if (found) {
            target.device = st.st_dev;
            target.inode = st.st_ino;
        }
        return true;
    }
}

bool ReplaceableFile(const std::string& path, const struct stat& st, CFileError& error)
{
    if (st.st_uid != ::geteuid()) {
        error = {EPERM, path + ": the file belongs to another user; it is not replaced"};
        return false;
    }
    if (!(st.st_mode & S_IWUSR)) {
        error = {EACCES, path + ": the file is read-only; it is not replaced"};
        return false;
    }
    return true;
}

bool IsSameFile(const CFileTarget& a, const CFileTarget& b)
{
    if (a.exists && b.exists)
        return a.device == b.device && a.inode == b.inode;
    return a.exists == b.exists && a.folderDevice == b.folderDevice && a.folderInode == b.folderInode &&
           a.name == b.name;
}

} // namespace quorrel::model
