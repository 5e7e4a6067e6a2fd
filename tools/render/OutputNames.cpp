#include "OutputNames.h"


namespace quorrel::tools {

namespace {

constexpr std::string_view kNumber = "{n}";
constexpr std::string_view kSeed = "{seed}";

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

} // namespace quorrel::tools
