#include "model/Archive.h"
#include "model/TileParams.h"
#include "model/WppFile.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <memory>

using namespace quorrel::model;
using quorrel::test::GoldenDir;
using quorrel::test::GoldenFiles;
using quorrel::test::ReadBytes;

namespace {

std::unique_ptr<CTileParams> MakeDefaults() { return std::make_unique<CTileParams>(); }

void PutU32(std::vector<uint8_t>& b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool Loads(const std::vector<uint8_t>& bytes)
{
    auto p = MakeDefaults();
    try {
        LoadWpp(bytes, *p);
        return true;
    } catch (const CArchiveException& e) {
        EXPECT_STREQ(e.what(), "Unexpected file format.");
        return false;
    }
}

// Offset of a field in component c's 108-byte block.
constexpr std::size_t Comp(int c, std::size_t field) { return 8 + 108 * std::size_t(c) + field; }

} // namespace

TEST(WppFormat, DefaultDocumentIsTheReferenceBytes)
{
    const auto bytes = SaveWpp(*MakeDefaults());
    EXPECT_EQ(bytes.size(), 1520u);
    EXPECT_EQ(bytes, ReadBytes(GoldenDir() / "defaults" / "builtin.wpp"));
}

TEST(WppFormat, RoundTripKeepsEveryField)
{
    auto p = MakeDefaults();
    p->m_nWidth = 300;
    p->m_nHeight = 7;
    p->m_nSymmetry[Blue][3] = -1;
    p->m_dCorrel[Green][1] = 0.25;
    p->m_dCorrel[Green][7] = -1e-300;
    p->m_nWrapMode[Hue] = 2;
    p->m_nTileStyle[Hue] = 1;
    p->m_nColorLow[Red] = 200;
    p->m_nColorHigh[Red] = 20;
    p->m_bEnabled[Red] = 1;
    p->m_nHorzHarm[Red] = 30;
    p->m_nVertHarm[Red] = 1;
    p->m_nCosCos[Red][29][0] = INT32_MIN;
    p->m_nSinSin[Red][0][0] = INT32_MAX;
    p->m_nHorzHarm[Green] = 0;   // contributes nothing to the coefficient block
    const auto bytes = SaveWpp(*p);
    EXPECT_EQ(bytes.size(), 656u + 16u * (30 + 0 + 9 * 4));   // Red 30x1, Green none, four 3x3
    auto q = MakeDefaults();
    LoadWpp(bytes, *q);
    EXPECT_TRUE(SameParams(*p, *q));
    EXPECT_EQ(q->m_nSymmetry[Blue][3], -1);
    EXPECT_EQ(q->m_dCorrel[Green][1], 0.25);
    EXPECT_EQ(q->m_nCosCos[Red][29][0], INT32_MIN);
    EXPECT_EQ(SaveWpp(*q), bytes);
}

TEST(WppFormat, SixteenBitFieldsAreSignExtended)
{
    auto bytes = SaveWpp(*MakeDefaults());
    bytes[Comp(Red, 32)] = 0xFF;   // symmetry 0 = 0xFFFF
    bytes[Comp(Red, 33)] = 0xFF;
    auto p = MakeDefaults();
    LoadWpp(bytes, *p);
    EXPECT_EQ(p->m_nSymmetry[Red][0], -1);
}

TEST(WppFormat, CellsOutsideTheLoadedCountsKeepTheirValues)
{
    auto target = MakeDefaults();
    target->m_nCosCos[Hue][5][5] = 123;
    target->m_nCosCos[Hue][1][1] = 9;
    auto source = MakeDefaults();
    source->m_nCosCos[Hue][1][1] = -8;
    LoadWpp(SaveWpp(*source), *target);
    EXPECT_EQ(target->m_nCosCos[Hue][5][5], 123);
    EXPECT_EQ(target->m_nCosCos[Hue][1][1], -8);
}

TEST(WppFormat, CutFilesFailAndTrailingBytesAreIgnored)
{
    std::vector<uint8_t> record(656, 0);
    PutU32(record, 0, 10);
    PutU32(record, 4, 10);
    for (int c = 0; c < kComponents; ++c)
        PutU32(record, Comp(c, 12), 60);
    EXPECT_TRUE(Loads(record));   // all counts 0: no coefficient block

    auto oneCell = record;
    PutU32(oneCell, Comp(Blue, 0), 1);
    PutU32(oneCell, Comp(Blue, 4), 1);
    EXPECT_FALSE(Loads(oneCell));   // the 16 bytes of that cell are missing
    oneCell.resize(656 + 15);
    EXPECT_FALSE(Loads(oneCell));
    oneCell.resize(656 + 16);
    EXPECT_TRUE(Loads(oneCell));

    const auto full = SaveWpp(*MakeDefaults());
    for (std::size_t cut : {0, 1, 4, 655, 656, 1519}) {
        EXPECT_FALSE(Loads({full.begin(), full.begin() + cut})) << cut;
    }
    auto longer = full;
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    EXPECT_TRUE(Loads(longer));

    // A refused file leaves the target untouched.
    auto target = MakeDefaults();
    target->m_nWidth = 77;
    try {
        LoadWpp({full.begin(), full.begin() + 1000}, *target);
        ADD_FAILURE() << "a cut file loaded";
    } catch (const CArchiveException&) {
    }
    EXPECT_EQ(target->m_nWidth, 77u);
}

TEST(WppFormat, ValuesBreakingTheInvariantsAreRefused)
{
    const auto good = SaveWpp(*MakeDefaults());
    struct Case {
        const char* what;
        std::size_t offset;
        std::vector<uint8_t> value;
    };
    const Case cases[] = {
        {"harmonics 31", Comp(Hue, 0), {31, 0, 0, 0}},
        {"harmonics 2^32-1", Comp(Red, 4), {0xFF, 0xFF, 0xFF, 0xFF}},
        {"width 0", 0, {0, 0, 0, 0}},
        {"height 1025", 4, {0x01, 0x04, 0, 0}},
        {"wrap mode 3", Comp(Green, 16), {3, 0}},
        {"wrap mode -1", Comp(Green, 16), {0xFF, 0xFF}},
        {"tile style 2", Comp(Blue, 18), {2, 0}},
        {"colour low 256", Comp(Saturation, 20), {0, 1, 0, 0}},
        {"colour high 1000", Comp(Luminosity, 24), {0xE8, 0x03, 0, 0}},
        {"symmetry 2", Comp(Hue, 32 + 2 * 5), {2, 0}},
        {"symmetry -2", Comp(Hue, 32), {0xFE, 0xFF}},
        {"amplitude max below min", Comp(Red, 8), {61, 0, 0, 0}},
    };
    for (const auto& tc : cases) {
        auto bad = good;
        std::copy(tc.value.begin(), tc.value.end(), bad.begin() + tc.offset);
        EXPECT_FALSE(Loads(bad)) << tc.what;
    }
}

TEST(WppFormat, EveryReferenceDocumentRoundTrips)
{
    int checked = 0;
    for (const char* dir : {"render", "generate", "extend"}) {
        for (const auto& path : GoldenFiles(dir, ".wpp")) {
            SCOPED_TRACE(path.string());
            const auto bytes = ReadBytes(path);
            auto p = MakeDefaults();
            LoadWpp(bytes, *p);
            EXPECT_EQ(SaveWpp(*p), bytes);
            ++checked;
        }
    }
    EXPECT_GE(checked, 40);
}

TEST(WppFile, WriteIsAtomicAndReadReportsErrors)
{
    const auto dir = std::filesystem::temp_directory_path() / ("quorrel-wpp-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "tile.wpp").string();
    std::string error;
    auto p = MakeDefaults();
    p->m_nWidth = 640;
    ASSERT_TRUE(WriteWppFile(path, *p, error)) << error;
    auto q = MakeDefaults();
    ASSERT_TRUE(ReadWppFile(path, *q, error)) << error;
    EXPECT_EQ(q->m_nWidth, 640u);
    // Only the target is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    EXPECT_FALSE(ReadWppFile((dir / "missing.wpp").string(), *q, error));
    EXPECT_FALSE(error.empty());

    std::ofstream(dir / "cut.wpp", std::ios::binary) << "short";
    EXPECT_FALSE(ReadWppFile((dir / "cut.wpp").string(), *q, error));
    EXPECT_EQ(error, "Unexpected file format.");

    EXPECT_FALSE(WriteWppFile((dir / "no-such-folder" / "x.wpp").string(), *p, error));
    std::filesystem::remove_all(dir);
}
