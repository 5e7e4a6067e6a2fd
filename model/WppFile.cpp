#include "WppFile.h"

#include "Archive.h"
#include "SafeFileWriter.h"

#include <cstring>
#include <memory>

namespace quorrel::model {

std::vector<uint8_t> SaveWpp(const CTileParams& params)
{
    CArchive ar(kMaxWppSize);
    params.StoreParams(ar);
    params.StoreCoeffs(ar);
    return ar.Buffer();
}

void LoadWpp(std::span<const uint8_t> bytes, CTileParams& params)
{
    // Work on a copy: the copy rule keeps the cells outside the loaded
    // counts, and a failure part-way leaves `params` untouched.
    auto loaded = std::make_unique<CTileParams>(params);
    // The copy constructor brings only the active part along; bring the rest too.
    std::memcpy(loaded->m_nCosCos, params.m_nCosCos, sizeof params.m_nCosCos);
    std::memcpy(loaded->m_nCosSin, params.m_nCosSin, sizeof params.m_nCosSin);
    std::memcpy(loaded->m_nSinCos, params.m_nSinCos, sizeof params.m_nSinCos);
    std::memcpy(loaded->m_nSinSin, params.m_nSinSin, sizeof params.m_nSinSin);
    CArchive ar(bytes);
    loaded->SerializeParams(ar);
    loaded->SerializeCoeffs(ar);
    params = *loaded;
}

bool ReadWppFile(const std::string& path, CTileParams& params, CFileError& error)
{
    std::vector<uint8_t> bytes;
    // Only a regular file: opening a pipe for reading can wait forever.
    if (!ReadFileStart(path, kMaxWppSize, bytes, error, FileKinds::RegularOnly))
        return false;
    try {
        LoadWpp(bytes, params);
    } catch (const CArchiveException&) {
        error = FileProblem(path, kUnexpectedFileFormat);
        return false;
    }
    return true;
}

bool ReadWppFile(const std::string& path, CTileParams& params, std::string& error)
{
    CFileError failure;
    if (ReadWppFile(path, params, failure))
        return true;
    // A malformed file is reported with the framework's text alone.
    error = failure.code == 0 && failure.message.ends_with(kUnexpectedFileFormat) ? kUnexpectedFileFormat
                                                                                  : failure.message;
    return false;
}

bool WriteWppFile(const std::string& path, const CTileParams& params, CFileError& error)
{
    return WriteFileAtomically(path, SaveWpp(params), error);
}

bool WriteWppFile(const std::string& path, const CTileParams& params, std::string& error)
{
    return WriteFileAtomically(path, SaveWpp(params), error);
}

} // namespace quorrel::model
