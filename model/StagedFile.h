#pragma once
// A file written beside its target and put in place whole at Commit, or not
// at all. The bytes go to a temporary in the target's folder: an unnamed
// one where the file system allows (nothing is left behind when the process
// dies), else one named ".NAME.quorrel-tmp-" and twelve random letters,
// which no other user can take beforehand and which the next save to the
// same file removes. Temporaries are private (mode 0600) until they are
// whole. Prepare flushes the temporary to the disk, gives it the old file's
// mode (never its set-user-ID or set-group-ID bit) and group, and checks
// once more that the target may be replaced; Commit renames it over the
// target and flushes the folder. Only this user's own files are replaced,
// and never one that is read-only.
//
// A name that is a symbolic link is written through: the file the link
// leads to gets the new bytes and the link stays. A file with several hard
// links is rewritten in place after the new bytes are safe in the
// temporary, so every link sees them. Where the caller accepts them, a
// character device or a pipe is opened at once and gets the bytes at
// Commit (they are held in memory until then), as there is no node to
// replace; a pipe that nobody reads is refused after a short wait.

#include "FileError.h"
#include "FileTarget.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quorrel::model {

class CStagedFile final {
public:
    enum class Temporary { Unnamed, Named };

    // Checks `path` (ResolveFileTarget) and opens the temporary. Nothing
    // visible changes yet, except that a temporary left by an earlier save
    // that died goes. Returns nothing, with the reason in `error`, when the
    // file cannot be written. `kind` Named forces the fixed-name temporary.
    static std::unique_ptr<CStagedFile> Create(const std::string& path, CFileError& error,
                                               Temporary kind = Temporary::Unnamed,
                                               SpecialFiles special = SpecialFiles::Refuse);
    ~CStagedFile();   // discards the temporary unless committed
    CStagedFile(const CStagedFile&) = delete;
    CStagedFile& operator=(const CStagedFile&) = delete;

    const CFileTarget& Target() const { return m_target; }
    // The temporary's descriptor (read and write).
    int Descriptor() const { return m_fd; }
    Temporary Kind() const { return m_kind; }
    // The temporary's name in the target's folder, once it has one.
    const std::string& TemporaryName() const { return m_tempName; }

    // Writes at `offset`; after a failure every later write fails too.
    bool WriteAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Reads back what was written; the count read, or -1.
    int64_t ReadAt(uint64_t offset, std::span<uint8_t> bytes) const;
    bool Append(std::span<const uint8_t> bytes);
    // Remembers a failure met while producing the bytes (Commit reports it).
    void SetFailure(const CFileError& error);
    bool Failed() const { return m_failed; }
    const CFileError& Failure() const { return m_failure; }

    // Flushes the bytes to the disk, gives the temporary the old file's
    // mode and group and its name, checks the target again: all that can
    // fail short of the rename. Commit does it
    // when it was not done; callers replacing several files at once prepare
    // them all first.
    bool Prepare(CFileError& error);
    // Puts the bytes in place. False, with the reason in `error`, when the
    // target could not be replaced; it is then as it was.
    bool Commit(CFileError& error);
    // Drops the temporary; the target stays as it was.
    void Discard();

    // Raises this process's limit of open files (up to its hard limit) so
    // that `files` staged files can be open at once beside the rest; false
    // with a one-line reason when the system allows too few.
    static bool ReserveDescriptors(std::size_t files, std::string& error);

    // How the temporaries of the file called `name` start.
    static std::string TemporaryNameFor(const std::string& name);

private:
    CStagedFile(CFileTarget target, std::string displayPath);
    bool Open(Temporary kind, CFileError& error);
    bool OpenSpecial(CFileError& error);
    void RemoveOwnLeftovers() const;
    bool OpenForRewrite(const struct stat& old, CFileError& error);
    bool ReplaceByRename(CFileError& error);
    bool RewriteInPlace(uint64_t size, CFileError& error);
    bool WriteHeld(CFileError& error);
    bool LinkUnnamedAsTemporary(CFileError& error);
    void SyncFolder() const;

    CFileTarget m_target;
    std::string m_displayPath;   // as the caller named it, for messages
    std::string m_tempName;
    int m_folderFd = -1;
    int m_fd = -1;
    int m_rewriteFd = -1;   // a file with several links, opened at Prepare
    uint64_t m_rewriteSize = 0;
    Temporary m_kind = Temporary::Unnamed;
    bool m_tempNamed = false;   // the temporary is visible under m_tempName
    bool m_keepTemporary = false;   // it holds the only whole copy of the new bytes
    bool m_folderSyncable = false;
    bool m_special = false;              // a device or a pipe: bytes held here until Commit
    std::vector<uint8_t> m_held;
    bool m_prepared = false;
    bool m_committed = false;
    bool m_failed = false;
    CFileError m_failure;
    uint64_t m_appendAt = 0;
};

} // namespace quorrel::model
