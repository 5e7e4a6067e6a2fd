// The run-time choice of the kernel variant: the measurement on a clock
// the test controls (fastest wins, the fallback keeps near ties, wrong sums
// never win, the time budget holds), the choice per instruction set, and
// the names a user may give, from the command line or the environment.

#include "model/TileParams.h"
#include "render/KernelChoice.h"
#include "render/TileRenderer.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace quorrel::render;

namespace {

// A clock that only the fake kernels move.
double g_fakeNow = 0;
int g_calls[8] = {};

double FakeClock() { return g_fakeNow; }

// Kernel `index` gives the right sums (those of f64x4 on the instruction
// set in use) and takes `micros` microseconds of fake time; a wrong one
// changes one sum.
template <int index, int micros, bool wrong = false>
void FakeKernel(const double* products, const TermGroup* groups, std::size_t groupCount, std::size_t rows,
                uint32_t* out)
{
    KernelFor(KernelVariant::F64x4)(products, groups, groupCount, rows, out);
    if (wrong)
        out[rows / 2] += 1;
    g_fakeNow += micros * 1e-6;
    ++g_calls[index];
}

KernelCandidate Fake(KernelFunction function) { return {KernelVariant::F64x4, function}; }

void ResetFakes()
{
    g_fakeNow = 1000.0;
    std::fill(std::begin(g_calls), std::end(g_calls), 0);
}

// Restores QUORREL_KERNEL as it was.
class CVariableGuard final {
public:
    CVariableGuard()
    {
        if (const char* value = std::getenv(kKernelVariable))
            m_saved = value;
    }
    ~CVariableGuard()
    {
        if (m_saved)
            setenv(kKernelVariable, m_saved->c_str(), 1);
        else
            unsetenv(kKernelVariable);
    }

private:
    std::optional<std::string> m_saved;
};

} // namespace

TEST(MeasureKernels, TheFastestCorrectCandidateWins)
{
    ResetFakes();
    KernelTrial trial = MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 60>), Fake(FakeKernel<2, 80>)},
                                       1.0, FakeClock);
    EXPECT_EQ(trial.chosen, 1u);
    ASSERT_EQ(trial.seconds.size(), 3u);
    EXPECT_LT(trial.seconds[1], trial.seconds[2]);
    EXPECT_LT(trial.seconds[2], trial.seconds[0]);
    EXPECT_EQ(trial.rounds, kChoiceMaxRounds);
    EXPECT_GT(trial.elapsed, 0.0);
    // Every candidate ran the same number of times: a warm-up and its
    // samples in every round.
    EXPECT_EQ(g_calls[0], g_calls[1]);
    EXPECT_EQ(g_calls[1], g_calls[2]);
    EXPECT_GT(g_calls[0], kChoiceMaxRounds);

    // The fastest listed last, and first.
    ResetFakes();
    trial = MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 90>), Fake(FakeKernel<2, 20>)}, 1.0,
                           FakeClock);
    EXPECT_EQ(trial.chosen, 2u);
    ResetFakes();
    trial = MeasureKernels({Fake(FakeKernel<0, 20>), Fake(FakeKernel<1, 90>), Fake(FakeKernel<2, 40>)}, 1.0,
                           FakeClock);
    EXPECT_EQ(trial.chosen, 0u);
}

// The first candidate (today's kernel) stays unless another is clearly
// faster.
TEST(MeasureKernels, TheFallbackKeepsNearTies)
{
    ResetFakes();
    EXPECT_EQ(MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 98>)}, 1.0, FakeClock).chosen, 0u);
    ResetFakes();
    EXPECT_EQ(MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 100>)}, 1.0, FakeClock).chosen, 0u);
    ResetFakes();
    EXPECT_EQ(MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 95>)}, 1.0, FakeClock).chosen, 1u);
}

TEST(MeasureKernels, ACandidateWithOtherSumsIsNeverChosen)
{
    ResetFakes();
    KernelTrial trial = MeasureKernels(
        {Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 10, true>), Fake(FakeKernel<2, 50>)}, 1.0, FakeClock);
    EXPECT_EQ(trial.chosen, 2u);
    EXPECT_LT(trial.seconds[1], 0.0);
    EXPECT_EQ(g_calls[1], 1);   // checked once, never timed

    ResetFakes();
    trial = MeasureKernels({Fake(FakeKernel<0, 100>), Fake(FakeKernel<1, 10, true>)}, 1.0, FakeClock);
    EXPECT_EQ(trial.chosen, 0u);
}

TEST(MeasureKernels, StopsAtTheBudgetAfterOneRound)
{
    // Each timed sample takes several fake milliseconds: the first round
    // already exceeds the budget.
    ResetFakes();
    KernelTrial trial = MeasureKernels({Fake(FakeKernel<0, 1000>), Fake(FakeKernel<1, 500>)}, kChoiceBudgetSeconds,
                                       FakeClock);
    EXPECT_EQ(trial.rounds, 1);
    EXPECT_EQ(trial.chosen, 1u);

    // A budget that a few rounds fill: the trial stops at the first round
    // that starts past it.
    ResetFakes();
    trial = MeasureKernels({Fake(FakeKernel<0, 10>), Fake(FakeKernel<1, 10>)}, 0.0015, FakeClock);
    EXPECT_GT(trial.rounds, 1);
    EXPECT_LT(trial.rounds, kChoiceMaxRounds);
    EXPECT_LT(trial.elapsed, 0.0015 + 2 * trial.elapsed / trial.rounds);
}

TEST(MeasureKernels, ASingleCandidateIsChosenWithoutRunning)
{
    ResetFakes();
    const KernelTrial trial = MeasureKernels({Fake(FakeKernel<0, 100>)}, 1.0, FakeClock);
    EXPECT_EQ(trial.chosen, 0u);
    EXPECT_EQ(trial.rounds, 0);
    EXPECT_EQ(g_calls[0], 0);
}

// The real variants on the real clock: all agree on the workload (its
// terms include +-2^31), so none is left out.
TEST(MeasureKernels, RealVariantsAllTakePart)
{
    for (int64_t target : KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        std::vector<KernelCandidate> candidates;
        for (KernelVariant variant : AvailableKernelVariants())
            candidates.push_back({variant, KernelFor(variant)});
        const KernelTrial trial = MeasureKernels(candidates);
        ASSERT_LT(trial.chosen, candidates.size());
        if (candidates.size() > 1) {
            EXPECT_GE(trial.rounds, 1);
            for (double seconds : trial.seconds)
                EXPECT_GT(seconds, 0.0);
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(KernelSelector, MeasuresOncePerInstructionSet)
{
    CKernelSelector selector(std::nullopt);
    const KernelChoice first = selector.Choose();
    EXPECT_EQ(selector.Measurements(), 1);
    EXPECT_EQ(first.source, KernelSource::Measured);
    EXPECT_EQ(first.function, KernelFor(first.variant));
    EXPECT_EQ(first.target, KernelTarget());
    EXPECT_EQ(selector.RequestError(), "");
    const KernelChoice again = selector.Choose();
    EXPECT_EQ(again.variant, first.variant);
    EXPECT_EQ(selector.Measurements(), 1);

    const auto targets = KernelTargets();
    for (int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        const KernelChoice choice = selector.Choose();
        EXPECT_EQ(choice.target, target);
        EXPECT_EQ(choice.function, KernelFor(choice.variant)) << hwy::TargetName(target);
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_EQ(selector.Choose().variant, first.variant);
    // The best target was measured at the start; each other one once.
    EXPECT_EQ(selector.Measurements(), static_cast<int>(targets.size()));
}

TEST(KernelSelector, ThreadsStartingTogetherShareOneMeasurement)
{
    CKernelSelector selector(std::nullopt);
    std::vector<KernelVariant> seen(4);
    std::vector<std::thread> threads;
    for (auto& variant : seen)
        threads.emplace_back([&] { variant = selector.Choose().variant; });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(selector.Measurements(), 1);
    EXPECT_EQ(std::set<KernelVariant>(seen.begin(), seen.end()).size(), 1u);
}

// A usable name is taken as it is; one the instruction set lacks, or an
// unknown one, leaves the choice to the measurement with a one-line reason.
TEST(KernelSelector, TheRequestedVariantWhereTheInstructionSetHasIt)
{
    for (KernelVariant wanted : AllKernelVariants()) {
        CKernelSelector selector(std::string(KernelVariantName(wanted)));
        int unavailable = 0;
        for (int64_t target : KernelTargets()) {
            hwy::SetSupportedTargetsForTest(target);
            SCOPED_TRACE(std::string(KernelVariantName(wanted)) + " on " + hwy::TargetName(target));
            const KernelChoice choice = selector.Choose();
            if (KernelFor(wanted)) {
                EXPECT_EQ(choice.variant, wanted);
                EXPECT_EQ(choice.source, KernelSource::Environment);
                EXPECT_EQ(selector.RequestError(), "");
            } else {
                ++unavailable;
                EXPECT_EQ(choice.source, KernelSource::Measured);
                EXPECT_EQ(choice.function, KernelFor(choice.variant));
                EXPECT_EQ(selector.RequestError(),
                          std::string("QUORREL_KERNEL: kernel '") + KernelVariantName(wanted) +
                              "' is not available with " + hwy::TargetName(target) + " on this processor (available: " +
                              [] {
                                  std::string list;
                                  for (KernelVariant v : AvailableKernelVariants())
                                      list += (list.empty() ? "" : ", ") + std::string(KernelVariantName(v));
                                  return list;
                              }() +
                              ")");
            }
        }
        hwy::SetSupportedTargetsForTest(0);
        EXPECT_EQ(selector.Measurements(), unavailable);
    }

    CKernelSelector unknown(std::string("i64x16"));
    EXPECT_EQ(unknown.Choose().source, KernelSource::Measured);
    EXPECT_EQ(unknown.RequestError(),
              "QUORREL_KERNEL: unknown kernel 'i64x16' (known: f64x4, f64x8, i32x4, i32x8, i64x4, i64x8)");
}

TEST(RequestedKernel, TheOptionWinsAndBadNamesAreRefused)
{
    CVariableGuard guard;
    std::optional<KernelVariant> variant;
    std::string error;

    unsetenv(kKernelVariable);
    EXPECT_TRUE(RequestedKernel(std::nullopt, variant, error));
    EXPECT_FALSE(variant);
    EXPECT_TRUE(RequestedKernel(std::string("f64x4"), variant, error));
    EXPECT_EQ(variant, KernelVariant::F64x4);
    EXPECT_FALSE(RequestedKernel(std::string("fastest"), variant, error));
    EXPECT_FALSE(variant);
    EXPECT_EQ(error, "unknown kernel 'fastest' (known: f64x4, f64x8, i32x4, i32x8, i64x4, i64x8)");

    setenv(kKernelVariable, "", 1);
    EXPECT_TRUE(RequestedKernel(std::nullopt, variant, error));
    EXPECT_FALSE(variant);

    // A valid variable is checked but left to the process's choice.
    setenv(kKernelVariable, "f64x4", 1);
    EXPECT_TRUE(RequestedKernel(std::nullopt, variant, error));
    EXPECT_FALSE(variant);

    setenv(kKernelVariable, "f64x5", 1);
    EXPECT_FALSE(RequestedKernel(std::nullopt, variant, error));
    EXPECT_EQ(error, "QUORREL_KERNEL: unknown kernel 'f64x5' (known: f64x4, f64x8, i32x4, i32x8, i64x4, i64x8)");
    EXPECT_TRUE(RequestedKernel(std::string("f64x4"), variant, error));   // the option wins
    EXPECT_EQ(variant, KernelVariant::F64x4);

    // Names the instruction set in use lacks.
    int refused = 0;
    unsetenv(kKernelVariable);
    for (int64_t target : KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (KernelVariant wanted : AllKernelVariants()) {
            const std::string name = KernelVariantName(wanted);
            const bool ok = RequestedKernel(name, variant, error);
            EXPECT_EQ(ok, KernelFor(wanted) != nullptr) << name << " on " << hwy::TargetName(target);
            if (!ok) {
                ++refused;
                EXPECT_EQ(error.find("kernel '" + name + "' is not available with " + hwy::TargetName(target)), 0u)
                    << error;
                EXPECT_EQ(error.find('\n'), std::string::npos);
            }
        }
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_GT(refused, 0);   // the fallback-only instruction sets lack the others
}

TEST(RequestedKernel, RenderTileRefusesAVariantTheInstructionSetLacks)
{
    auto p = std::make_unique<quorrel::model::CTileParams>();
    p->m_nWidth = p->m_nHeight = 4;
    int refused = 0;
    for (int64_t target : KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (KernelVariant variant : AllKernelVariants()) {
            CRgbImage image(4, 4);
            RenderSettings settings;
            settings.kernel = variant;
            if (KernelFor(variant)) {
                EXPECT_NO_THROW(RenderTile(*p, image, settings));
            } else {
                EXPECT_THROW(RenderTile(*p, image, settings), std::invalid_argument);
                ++refused;
            }
        }
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_GT(refused, 0);
}

TEST(DescribeKernel, NamesTheVariantTheReasonAndTheInstructionSet)
{
    const std::string asked = DescribeKernel(KernelVariant::F64x4);
    EXPECT_EQ(asked.find("kernel f64x4 (as asked), instruction set " + std::string(KernelTargetName())), 0u)
        << asked;
    EXPECT_NE(asked.find("f64x4"), std::string::npos);
    const std::string chosen = DescribeKernel(std::nullopt);
    EXPECT_EQ(chosen.find(std::string("kernel ") + KernelVariantName(ChosenKernel().variant)), 0u) << chosen;
    EXPECT_EQ(chosen.find('\n'), std::string::npos);
}

// The process's choice reads the variable once; a name it cannot use is
// reported in one line, once, and the measurement decides. Run in a fresh
// process, before anything else there made the choice.
TEST(ChosenKernelDeathTest, ABadVariableIsReportedOnceAndTheMeasurementDecides)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv(kKernelVariable, "f64x3", 1);
            const KernelChoice first = ChosenKernel();
            const KernelChoice second = ChosenKernel();
            std::exit(first.source == KernelSource::Measured && second.variant == first.variant ? 0 : 1);
        },
        ::testing::ExitedWithCode(0),
        "^quorrel: QUORREL_KERNEL: unknown kernel 'f64x3' \\(known: [a-z0-9, ]+\\); measuring instead\n$");
    EXPECT_EXIT(
        {
            setenv(kKernelVariable, "f64x4", 1);
            std::exit(ChosenKernel().source == KernelSource::Environment ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^$");
}
