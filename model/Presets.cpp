#include "Presets.h"

#include <algorithm>
#include <array>

namespace quorrel::model {

namespace {

// Made by scripts/make-presets.py, which holds each preset's settings.
constexpr std::array kPresets = {
    PresetInfo{"pastel", "Pastel", 7},
    PresetInfo{"lavender", "Lavender", 3},
    PresetInfo{"monochrome-blue", "Monochrome Blue", 8},
    PresetInfo{"ocean", "Ocean", 4},
    PresetInfo{"mist", "Mist", 7},
    PresetInfo{"forest", "Forest", 5},
    PresetInfo{"earth", "Earth", 6},
    PresetInfo{"copper", "Copper", 8},
    PresetInfo{"sunset", "Sunset", 5},
    PresetInfo{"soft-diamond", "Soft Diamond", 6},
    PresetInfo{"pinwheel", "Pinwheel", 5},
    PresetInfo{"tartan", "Tartan", 4},
    PresetInfo{"linen", "Linen", 2},
    PresetInfo{"graphite", "Graphite", 7},
    PresetInfo{"dusk", "Dusk", 3},
    PresetInfo{"neon", "Neon", 1},
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

} // namespace

std::span<const PresetInfo> Presets() { return kPresets; }

const PresetInfo* FindPreset(std::string_view text)
{
    for (const PresetInfo& preset : kPresets) {
        if (SameIgnoringCase(preset.id, text) || SameIgnoringCase(preset.name, text))
            return &preset;
    }
    return nullptr;
}

std::string PresetFileName(const PresetInfo& preset) { return std::string(preset.id) + ".wpp"; }

} // namespace quorrel::model
