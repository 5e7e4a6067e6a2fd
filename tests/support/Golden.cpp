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

std::vector<std::string> GoldenManifest()
{
    std::vector<std::string> names;
    std::ifstream in(GoldenDir() / "MANIFEST");
    if (!in) {
        ADD_FAILURE() << "no reference file list at " << (GoldenDir() / "MANIFEST");
        return names;
    }
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            names.push_back(line);
    }
    if (names.empty())
        ADD_FAILURE() << "the reference file list " << (GoldenDir() / "MANIFEST") << " is empty";
    return names;
}

std::vector<std::filesystem::path> GoldenFiles(const std::string& subdir, const std::string& extension)
{
    // The list, not the folder, says what there must be: a missing file
    // fails the test rather than shortening its loop.
    const auto dir = GoldenDir() / subdir;
    std::vector<std::filesystem::path> files;
    for (const std::string& name : GoldenManifest()) {
        const std::filesystem::path relative(name);
        if (relative.parent_path() != subdir || relative.extension() != extension)
            continue;
        const auto path = GoldenDir() / relative;
        if (std::filesystem::is_regular_file(path))
            files.push_back(path);
        else
            ADD_FAILURE() << "reference file missing: " << path;
    }
    if (files.empty())
        ADD_FAILURE() << "no reference files " << (dir / ("*" + extension));
    // A file the list does not name would never be checked.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() == extension &&
            std::find(files.begin(), files.end(), entry.path()) == files.end())
            ADD_FAILURE() << "reference file not in MANIFEST: " << entry.path();
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
