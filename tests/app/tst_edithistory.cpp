// The edit history's edge cases: pushes, the redo branch, the limit of 15.

#include "app/EditHistory.h"

#include <gtest/gtest.h>

#include <memory>

using quorrel::app::CEditHistory;
using quorrel::model::CTileParams;

namespace {

// A parameter set told apart by its width.
std::unique_ptr<CTileParams> State(uint32_t width)
{
    auto params = std::make_unique<CTileParams>();
    params->m_nWidth = width;
    params->m_nCosCos[0][1][2] = static_cast<int32_t>(width) * 7;
    return params;
}

TEST(EditHistory, EmptyAndSingleEntryHistoriesOfferNeitherUndoNorRedo)
{
    CEditHistory history;
    EXPECT_FALSE(history.Position());
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    history.Push(*State(1));
    EXPECT_EQ(history.Position(), 0u);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

TEST(EditHistory, UndoAndRedoStepBetweenTwoStates)
{
    CEditHistory history;
    history.Push(*State(1));
    history.Push(*State(2));
    ASSERT_TRUE(history.CanUndo());
    EXPECT_EQ(history.Undo().m_nWidth, 1u);
    EXPECT_FALSE(history.CanUndo());
    ASSERT_TRUE(history.CanRedo());
    const CTileParams& redone = history.Redo();
    EXPECT_EQ(redone.m_nWidth, 2u);
    EXPECT_EQ(redone.m_nCosCos[0][1][2], 14);
    EXPECT_FALSE(history.CanRedo());
}

TEST(EditHistory, APushAfterUndoCutsOffTheRedoBranch)
{
    CEditHistory history;
    for (uint32_t w : {1u, 2u, 3u})
        history.Push(*State(w));
    history.Undo();
    history.Undo();
    history.Push(*State(4));
    ASSERT_EQ(history.Size(), 2u);
    EXPECT_EQ(history.Entry(0).m_nWidth, 1u);
    EXPECT_EQ(history.Entry(1).m_nWidth, 4u);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Undo().m_nWidth, 1u);
}

TEST(EditHistory, SixteenPushesKeepTheLastFifteen)
{
    CEditHistory history;
    for (uint32_t w = 1; w <= 16; ++w)
        history.Push(*State(w));
    EXPECT_EQ(history.Size(), 15u);
    int undos = 0;
    uint32_t last = 0;
    while (history.CanUndo()) {
        last = history.Undo().m_nWidth;
        ++undos;
    }
    EXPECT_EQ(undos, 14);
    EXPECT_EQ(last, 2u);   // the first state pushed is gone
}

TEST(EditHistory, EntriesAreIndependentCopies)
{
    CEditHistory history;
    auto params = State(5);
    history.Push(*params);
    params->m_nWidth = 6;
    params->m_nCosCos[0][1][2] = 0;
    EXPECT_EQ(history.Entry(0).m_nWidth, 5u);
    EXPECT_EQ(history.Entry(0).m_nCosCos[0][1][2], 35);
}

} // namespace
