#pragma once
// Access to the reference files made by an independent model of the core,
// and small helpers shared by the core's tests.

#include "model/TileParams.h"
#include "render/PixelSurface.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorrel::test {

// The reference folder (QUORREL_GOLDEN_DIR in the environment, else the
// one configured at build time).
std::filesystem::path GoldenDir();
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::vector<std::filesystem::path> GoldenFiles(const std::string& subdir, const std::string& extension);

// A freshly constructed set with `path` loaded into it (test fails on error).
std::unique_ptr<model::CTileParams> LoadGoldenParams(const std::filesystem::path& path);

// Keeps the process's generator state across a test.
class RandStateGuard final {
public:
    RandStateGuard();
    ~RandStateGuard();
    RandStateGuard(const RandStateGuard&) = delete;
    RandStateGuard& operator=(const RandStateGuard&) = delete;

private:
    uint32_t m_saved;
};

} // namespace quorrel::test
