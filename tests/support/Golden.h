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

// The reference folder, tests/data/golden in the repository
// (QUORREL_GOLDEN_DIR in the environment overrides it).
std::filesystem::path GoldenDir();
// The whole file; the test fails when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
// The names in the folder's MANIFEST (relative paths), every reference file
// the tests use; the test fails when the list is missing or empty.
std::vector<std::string> GoldenManifest();
// The listed files of `subdir` with `extension`, sorted. The test fails
// when one of them is missing, when there is none, or when the folder holds
// such a file the list does not name.
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
