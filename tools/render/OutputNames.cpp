#include "OutputNames.h"

#include <chrono>
#include <unordered_set>

namespace quorrel::tools {

namespace {

constexpr std::string_view kNumber = "{n}";
constexpr std::string_view kSeed = "{seed}";

// A 64-bit mix (splitmix64): neighbouring clock values give unrelated seeds.
uint64_t Mix(uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

void ReplaceAll(std::string& text, std::string_view what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

bool NamesEachImage(const std::string& pattern)
{
    return pattern.find(kNumber) != std::string::npos || pattern.find(kSeed) != std::string::npos;
}

std::string ExpandOutputName(const std::string& pattern, uint32_t k, uint32_t count, uint32_t seed)
{
    const std::size_t width = std::to_string(count).size();
    std::string number = std::to_string(k);
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    std::string name = pattern;
    ReplaceAll(name, kNumber, number);
    ReplaceAll(name, kSeed, std::to_string(seed));
    return name;
}

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

} // namespace quorrel::tools
