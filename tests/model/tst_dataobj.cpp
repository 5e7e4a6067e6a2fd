#include "model/DataObj.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace quorrel::model;
using quorrel::test::GoldenDir;
using quorrel::test::ReadBytes;

TEST(StoredDefaults, BuiltInDefaultsAreTheReferenceBytes)
{
    const auto bytes = EncodeDefaults(*std::make_unique<CTileParams>());
    ASSERT_EQ(bytes.size(), kStoredDefaultsSize);
    const uint8_t head[] = {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00};
    EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "CDataObj", 8), 0);
    EXPECT_EQ(bytes, ReadBytes(GoldenDir() / "defaults" / "builtin.bin"));
}

TEST(StoredDefaults, NeverHoldCoefficientsAndRoundTripTheRecord)
{
    auto p = std::make_unique<CTileParams>();
    p->m_nWidth = 300;
    p->m_nHorzHarm[Red] = p->m_nVertHarm[Red] = 30;
    p->m_nCosCos[Red][0][0] = 5;
    p->m_nSymmetry[Green][1] = -1;
    p->m_dCorrel[Blue][3] = -0.75;
    const auto bytes = EncodeDefaults(*p);
    EXPECT_EQ(bytes.size(), kStoredDefaultsSize);
    const auto loaded = DecodeDefaults(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_nWidth, 300u);
    EXPECT_EQ(loaded->m_nHorzHarm[Red], 30u);
    EXPECT_EQ(loaded->m_nCosCos[Red][0][0], 0);
    EXPECT_EQ(loaded->m_nSymmetry[Green][1], -1);
    EXPECT_EQ(loaded->m_dCorrel[Blue][3], -0.75);
}

TEST(StoredDefaults, MalformedValuesAreIgnored)
{
    const auto good = EncodeDefaults(*std::make_unique<CTileParams>());
    auto corrupt = [&](std::size_t at, uint8_t v) {
        auto b = good;
        b[at] = v;
        return b;
    };
    EXPECT_FALSE(DecodeDefaults(corrupt(0, 2)));      // two objects
    EXPECT_FALSE(DecodeDefaults(corrupt(2, 0x00)));   // not a new class tag
    EXPECT_FALSE(DecodeDefaults(corrupt(4, 2)));      // schema 2
    EXPECT_FALSE(DecodeDefaults(corrupt(6, 9)));      // name length 9
    EXPECT_FALSE(DecodeDefaults(corrupt(8, 'X')));    // wrong class name
    EXPECT_FALSE(DecodeDefaults(corrupt(16, 0)));     // width 0 (low byte of 125)
    EXPECT_FALSE(DecodeDefaults(corrupt(16 + 8, 31))); // 31 harmonics
    EXPECT_FALSE(DecodeDefaults({good.data(), good.size() - 1}));
    EXPECT_FALSE(DecodeDefaults({}));
    const uint8_t emptyList[] = {0, 0};
    EXPECT_FALSE(DecodeDefaults(emptyList));
    auto longer = good;
    longer.resize(4096, 0);
    EXPECT_TRUE(DecodeDefaults(longer));
}
