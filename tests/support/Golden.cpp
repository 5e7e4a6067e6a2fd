#include "Golden.h"

#include "model/Archive.h"
#include "model/RandomSource.h"
#include "model/WppFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quorrel::test {

std::filesystem::path GoldenDir()
{
    if (const char* env = std::getenv("QUORREL_GOLDEN_DIR"); env && *env)
        return env;
    return QUORREL_GOLDEN_DEFAULT;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> GoldenFiles(const std::string& subdir, const std::string& extension)
{
    std::vector<std::filesystem::path> files;
    const auto dir = GoldenDir() / subdir;
    if (std::filesystem::is_directory(dir)) {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == extension)
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<model::CTileParams> LoadGoldenParams(const std::filesystem::path& path)
{
    auto params = std::make_unique<model::CTileParams>();
    const auto bytes = ReadBytes(path);
    try {
        model::LoadWpp(bytes, *params);
    } catch (const model::CArchiveException&) {
        ADD_FAILURE() << "cannot load " << path;
    }
    return params;
}

RandStateGuard::RandStateGuard() : m_saved(model::RandState()) {}
RandStateGuard::~RandStateGuard() { model::Srand(m_saved); }

} // namespace quorrel::test
