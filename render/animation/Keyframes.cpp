#include "Keyframes.h"

#include <sstream>

namespace quorrel::render::animation {

namespace {

constexpr const char* kComponentNames[model::kComponents] = {"Red", "Green", "Blue",
                                                             "Hue", "Saturation", "Luminosity"};

const char* StyleName(int32_t style) { return style == 1 ? "Diamond" : "Normal"; }

const char* WrapName(int32_t mode)
{
    switch (mode) {
    case 0:
        return "Cycled";
    case 1:
        return "Reflected";
    default:
        return "Scaled";
    }
}

const char* OnOff(bool on) { return on ? "enabled" : "disabled"; }

// Collects "what: other, not first" items.
class CDifferences final {
public:
    template <typename T>
    void Add(const std::string& what, const T& first, const T& other)
    {
        if (first == other)
            return;
        std::ostringstream item;
        item << what << " " << other << ", not " << first;
        m_items.push_back(item.str());
    }
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
};

std::string SizeText(const model::CTileParams& p)
{
    return std::to_string(p.m_nWidth) + " x " + std::to_string(p.m_nHeight);
}

} // namespace

std::string KeyframeMismatch(const model::CTileParams& first, const std::string& firstName,
                             const model::CTileParams& other, const std::string& otherName)
{
    CDifferences differences;
    differences.Add("size", SizeText(first), SizeText(other));
    for (int c = 0; c < model::kComponents; ++c) {
        const std::string name = kComponentNames[c];
        differences.Add(name, std::string(OnOff(first.m_bEnabled[c])), std::string(OnOff(other.m_bEnabled[c])));
        differences.Add(name + " horizontal harmonics", first.m_nHorzHarm[c], other.m_nHorzHarm[c]);
        differences.Add(name + " vertical harmonics", first.m_nVertHarm[c], other.m_nVertHarm[c]);
        differences.Add(name + " tile style", std::string(StyleName(first.m_nTileStyle[c])),
                        std::string(StyleName(other.m_nTileStyle[c])));
        differences.Add(name + " wrap mode", std::string(WrapName(first.m_nWrapMode[c])),
                        std::string(WrapName(other.m_nWrapMode[c])));
        differences.Add(name + " colour range",
                        std::to_string(first.m_nColorLow[c]) + " to " + std::to_string(first.m_nColorHigh[c]),
                        std::to_string(other.m_nColorLow[c]) + " to " + std::to_string(other.m_nColorHigh[c]));
        // A disabled component is drawn only when it is correlated.
        if (!first.m_bEnabled[c] && !other.m_bEnabled[c]) {
            differences.Add(name + " correlation", std::string(first.IsCorrelated(c) ? "on" : "off"),
                            std::string(other.IsCorrelated(c) ? "on" : "off"));
        }
    }
    const std::vector<std::string>& items = differences.Items();
    if (items.empty())
        return {};
    std::string message = otherName + " differs from " + firstName + ": ";
    for (std::size_t i = 0; i < items.size(); ++i)
        message += (i ? "; " : "") + items[i];
    return message;
}

std::vector<model::CTileParams> GenerateKeyframes(const model::CTileParams& document, uint32_t count, uint32_t seed,
                                                  bool keepFirst)
{
    std::vector<model::CTileParams> keyframes(count, document);
    for (uint32_t k = keepFirst ? 1 : 0; k < count; ++k)
        keyframes[k].GenerateRandom(seed + k);
    return keyframes;
}

} // namespace quorrel::render::animation
