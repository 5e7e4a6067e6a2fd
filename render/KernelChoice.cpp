#include "KernelChoice.h"

#include <hwy/aligned_allocator.h>
#include <hwy/targets.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quorrel::render {

namespace {

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A small column like the renderer's: four rows of factors with two
// products a cell each, against 64 rows. The products reach the 32-bit
// extremes and the rows hold exact 1.0 and -1.0, so the terms include
// -2^31 and +2^31, the ones the integer variants must get right; others
// are fractions that truncate to 0 or to small values.
class CTrialWorkload final {
public:
    static constexpr std::size_t kRows = 64;
    static constexpr std::size_t kGroups = 4;
    static constexpr uint32_t kPerGroup = 30;
    // Kernel calls per timed sample: about 120 000 terms, some 10 us on a
    // fast core.
    static constexpr int kRepeats = 16;

    CTrialWorkload() : m_rows(hwy::AllocateAligned<double>(kRows * kGroups))
    {
        for (std::size_t g = 0; g < kGroups; ++g) {
            double* row = m_rows.get() + g * kRows;
            for (std::size_t y = 0; y < kRows; ++y)
                row[y] = std::cos(6.283185307179586 * double(g + 1) * double(y) / double(kRows));
            row[kRows / 2] = -1.0;
            m_groups[g] = {row, kPerGroup};
        }
        for (uint32_t i = 0; i < kGroups * kPerGroup; ++i) {
            const double wide = static_cast<double>(static_cast<int32_t>(i * 2654435761u));
            if (i % 11 == 0)
                m_products.push_back(-2147483648.0);
            else if (i % 3 == 1)
                m_products.push_back(wide * 1e-6);
            else
                m_products.push_back(wide * (0.5 + double(i % 7) / 14.0));
        }
    }

    void Run(KernelFunction kernel, uint32_t* out) const
    {
        kernel(m_products.data(), m_groups, kGroups, kRows, out);
    }

private:
    hwy::AlignedFreeUniquePtr<double[]> m_rows;
    std::vector<double> m_products;
    TermGroup m_groups[kGroups];
};

std::string VariantList(const std::vector<KernelVariant>& variants)
{
    std::string list;
    for (KernelVariant variant : variants) {
        if (!list.empty())
            list += ", ";
        list += KernelVariantName(variant);
    }
    return list;
}

} // namespace

KernelTrial MeasureKernels(const std::vector<KernelCandidate>& candidates, double budgetSeconds,
                           const KernelClock& clock)
{
    const KernelClock now = clock ? clock : KernelClock(SteadySeconds);
    KernelTrial trial;
    const std::size_t n = candidates.size();
    trial.seconds.assign(n, std::numeric_limits<double>::infinity());
    if (n <= 1)
        return trial;

    const double start = now();
    const CTrialWorkload workload;
    auto expected = hwy::AllocateAligned<uint32_t>(CTrialWorkload::kRows);
    auto sums = hwy::AllocateAligned<uint32_t>(CTrialWorkload::kRows);
    // The first call of each is a warm-up (caches, the wider units' power
    // state) and the check of its sums.
    workload.Run(candidates[0].function, expected.get());
    for (std::size_t i = 1; i < n; ++i) {
        std::fill_n(sums.get(), CTrialWorkload::kRows, ~expected[0]);
        workload.Run(candidates[i].function, sums.get());
        if (!std::equal(sums.get(), sums.get() + CTrialWorkload::kRows, expected.get()))
            trial.seconds[i] = -1.0;
    }

    while (trial.rounds < kChoiceMaxRounds && (trial.rounds == 0 || now() - start < budgetSeconds)) {
        // Each round starts with a different candidate, so that none always
        // runs right after the same other one.
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = (k + static_cast<std::size_t>(trial.rounds)) % n;
            if (trial.seconds[i] < 0)
                continue;
            const double t0 = now();
            for (int r = 0; r < CTrialWorkload::kRepeats; ++r)
                workload.Run(candidates[i].function, sums.get());
            trial.seconds[i] = std::min(trial.seconds[i], now() - t0);
        }
        ++trial.rounds;
    }

    std::size_t fastest = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (trial.seconds[i] >= 0 && (fastest == 0 || trial.seconds[i] < trial.seconds[fastest]))
            fastest = i;
    }
    if (fastest != 0 && trial.seconds[fastest] < trial.seconds[0] * (1.0 - kChoiceMargin))
        trial.chosen = fastest;
    trial.elapsed = now() - start;
    return trial;
}

std::optional<KernelVariant> FindKernel(std::string_view name, std::string& error)
{
    const auto variant = KernelVariantFromName(name);
    if (!variant) {
        error = "unknown kernel '" + std::string(name) + "' (known: " + VariantList(AllKernelVariants()) + ")";
        return std::nullopt;
    }
    if (!KernelFor(*variant)) {
        error = "kernel '" + std::string(name) + "' is not available with " + KernelTargetName() +
                " on this processor (available: " + VariantList(AvailableKernelVariants()) + ")";
        return std::nullopt;
    }
    return variant;
}

CKernelSelector::CKernelSelector(std::optional<std::string> requested) : m_requested(std::move(requested)) {}

KernelChoice CKernelSelector::Choose()
{
    const std::lock_guard lock(m_mutex);
    const int64_t target = KernelTarget();
    auto [entry, added] = m_choices.try_emplace(target);
    if (!added) {
        m_requestError = entry->second.requestError;
        return entry->second.choice;
    }
    Entry& made = entry->second;
    if (m_requested) {
        if (const auto variant = FindKernel(*m_requested, made.requestError)) {
            made.choice = {*variant, KernelFor(*variant), KernelSource::Environment, target};
            m_requestError.clear();
            return made.choice;
        }
        made.requestError = std::string(kKernelVariable) + ": " + made.requestError;
    }
    std::vector<KernelCandidate> candidates;
    for (KernelVariant variant : AvailableKernelVariants())
        candidates.push_back({variant, KernelFor(variant)});
    const KernelTrial trial = MeasureKernels(candidates);
    ++m_measurements;
    const KernelCandidate& best = candidates[trial.chosen];
    made.choice = {best.variant, best.function, KernelSource::Measured, target};
    m_requestError = made.requestError;
    return made.choice;
}

std::string CKernelSelector::RequestError() const
{
    const std::lock_guard lock(m_mutex);
    return m_requestError;
}

int CKernelSelector::Measurements() const
{
    const std::lock_guard lock(m_mutex);
    return m_measurements;
}

KernelChoice ChosenKernel()
{
    static CKernelSelector selector([]() -> std::optional<std::string> {
        const char* value = std::getenv(kKernelVariable);
        if (!value || !*value)
            return std::nullopt;
        return std::string(value);
    }());
    static std::atomic<bool> reported{false};
    const KernelChoice choice = selector.Choose();
    if (!reported.load(std::memory_order_relaxed)) {
        const std::string error = selector.RequestError();
        if (!error.empty() && !reported.exchange(true))
            std::fprintf(stderr, "quorrel: %s; measuring instead\n", error.c_str());
    }
    return choice;
}

bool RequestedKernel(const std::optional<std::string>& option, std::optional<KernelVariant>& variant,
                     std::string& error)
{
    variant.reset();
    if (option) {
        variant = FindKernel(*option, error);
        return variant.has_value();
    }
    const char* value = std::getenv(kKernelVariable);
    if (value && *value && !FindKernel(value, error)) {
        error = std::string(kKernelVariable) + ": " + error;
        return false;
    }
    return true;
}

std::string DescribeKernel(const std::optional<KernelVariant>& requested)
{
    KernelVariant variant;
    std::string why;
    if (requested) {
        variant = *requested;
        why = "as asked";
    } else {
        const KernelChoice choice = ChosenKernel();
        variant = choice.variant;
        why = choice.source == KernelSource::Environment ? "from " + std::string(kKernelVariable) : "fastest measured";
    }
    return std::string("kernel ") + KernelVariantName(variant) + " (" + why + "), instruction set " +
           KernelTargetName() + " (kernels here: " + VariantList(AvailableKernelVariants()) + ")";
}

} // namespace quorrel::render
