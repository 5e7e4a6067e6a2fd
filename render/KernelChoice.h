#pragma once
// Which kernel variant renderings use: the fastest on this processor,
// measured once per process and instruction set on a short fixed workload,
// unless the user names one (QUORREL_KERNEL, or the command line's
// --kernel). Every variant gives the same sums, so a poor choice costs speed
// and never changes a pixel.

#include "FastKernel.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel::render {

// The environment variable that names the variant to use.
inline constexpr char kKernelVariable[] = "QUORREL_KERNEL";

// The measurement stops starting new rounds once it has taken this long
// (the variants of one instruction set together, warm-up included).
inline constexpr double kChoiceBudgetSeconds = 0.003;
inline constexpr int kChoiceMaxRounds = 10;
// Another variant replaces the first (fallback) candidate only when its
// best time is this much shorter, so that two variants of equal speed leave
// the long-standing one in place.
inline constexpr double kChoiceMargin = 0.03;

struct KernelCandidate {
    KernelVariant variant;
    KernelFunction function;
};

struct KernelTrial {
    std::size_t chosen = 0;        // index into the candidates
    std::vector<double> seconds;   // best time of one sample per candidate;
                                   // negative: left out, its sums differed
    int rounds = 0;                // timed rounds (every candidate once each)
    double elapsed = 0;            // seconds the whole trial took
};

// Seconds on a monotonic clock.
using KernelClock = std::function<double()>;

// Times every candidate on the same fixed workload, round after round in
// turn (the shortest time of each counts), until kChoiceMaxRounds rounds
// or `budgetSeconds` have passed, with at least one round. The first
// candidate is the fallback: it is chosen unless another is faster by
// kChoiceMargin. A candidate whose sums differ from the fallback's on the
// workload is never chosen. A single candidate is chosen without timing.
KernelTrial MeasureKernels(const std::vector<KernelCandidate>& candidates,
                           double budgetSeconds = kChoiceBudgetSeconds, const KernelClock& clock = {});

enum class KernelSource {
    Measured,      // the fastest on the measurement (or the only one)
    Environment,   // named by QUORREL_KERNEL
};

struct KernelChoice {
    KernelVariant variant = KernelVariant::F64x4;
    KernelFunction function = nullptr;
    KernelSource source = KernelSource::Measured;
    int64_t target = 0;   // the instruction set, as a Highway target bit
};

// The variant `name` stands for, if the instruction set in use now has it;
// otherwise nothing, with a one-line reason in `error` that lists the
// variants it has.
std::optional<KernelVariant> FindKernel(std::string_view name, std::string& error);

// Makes the choice once per instruction set (a test may force several in
// turn) and keeps it; safe to call from several threads.
class CKernelSelector final {
public:
    // `requested`: the name the environment gives, if any. A name that
    // cannot be used with an instruction set leaves the choice to the
    // measurement there.
    explicit CKernelSelector(std::optional<std::string> requested);

    KernelChoice Choose();

    // Why the requested name was not used by the last Choose(); empty when
    // it was, or when there is none.
    std::string RequestError() const;
    // How many times Choose() has measured.
    int Measurements() const;

private:
    struct Entry {
        KernelChoice choice;
        std::string requestError;
    };

    const std::optional<std::string> m_requested;
    mutable std::mutex m_mutex;
    std::map<int64_t, Entry> m_choices;   // by instruction set
    std::string m_requestError;
    int m_measurements = 0;
};

// The process's choice, for the instruction set in use now. QUORREL_KERNEL
// is read once; a name that cannot be used is reported once on stderr in
// one line and the measurement decides.
KernelChoice ChosenKernel();

// Checks what a user asked for: `option` (from the command line) when
// given, else QUORREL_KERNEL when set and not empty. False with a one-line
// reason in `error` when that name is unknown or the instruction set in use
// cannot run it. `variant` is the option's variant (none without one): a
// valid variable is left to ChosenKernel, which says where it came from.
bool RequestedKernel(const std::optional<std::string>& option, std::optional<KernelVariant>& variant,
                     std::string& error);

// One line: the variant renderings use (`requested`, or the process's
// choice) and why, the instruction set, and the variants it has.
std::string DescribeKernel(const std::optional<KernelVariant>& requested);

} // namespace quorrel::render
