#include "SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace quorrel::model {

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes, std::string& error)
{
    namespace fs = std::filesystem;
    std::random_device rd;
    const fs::path target(path);
    std::string tempName = ".";
    tempName += target.filename().string();
    tempName += '.';
    tempName += std::to_string(rd());
    tempName += ".tmp";
    const fs::path temp = target.parent_path() / tempName;

    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int savedErrno = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        error = path + ": " + std::strerror(written ? errno : savedErrno);
        std::remove(temp.c_str());
        return false;
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        error = path + ": " + ec.message();
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace quorrel::model
