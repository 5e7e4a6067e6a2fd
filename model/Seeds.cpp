#include "Seeds.h"

#include <chrono>
#include <unordered_set>

namespace quorrel::model {

namespace {

// A 64-bit mix (splitmix64): neighbouring clock values give unrelated seeds.
uint64_t Mix(uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

} // namespace

std::vector<uint32_t> BatchSeeds(std::optional<uint32_t> first, uint32_t count, uint64_t clock)
{
    std::vector<uint32_t> seeds;
    seeds.reserve(count);
    if (first) {
        for (uint32_t k = 0; k < count; ++k)
            seeds.push_back(*first + k);
        return seeds;
    }
    std::unordered_set<uint32_t> used;
    for (uint64_t step = 0; seeds.size() < count; ++step) {
        const auto seed = static_cast<uint32_t>(Mix(clock + step) >> 32);
        if (used.insert(seed).second)
            seeds.push_back(seed);
    }
    return seeds;
}

uint64_t ClockForSeeds()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());
}

} // namespace quorrel::model
