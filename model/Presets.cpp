#include "Presets.h"

#include <algorithm>
#include <array>

namespace quorrel::model {

namespace {

// Made by scripts/make-presets.py, which holds each preset's settings. The
// preferred scales were chosen by eye on continuous renderings repeated
// across a screen at 1x, 2x and 3x: the small, busy tiles look calmer at
// 2x (the densest two at 3x); Mist is large already, and Tartan and Linen
// are textures that lose their weave when enlarged.
constexpr std::array kPresets = {
    PresetInfo{"pastel", "Pastel", 7, 2},
    PresetInfo{"lavender", "Lavender", 3, 2},
    PresetInfo{"monochrome-blue", "Monochrome Blue", 8, 3},
    PresetInfo{"ocean", "Ocean", 4, 2},
    PresetInfo{"mist", "Mist", 7},
    PresetInfo{"forest", "Forest", 5, 3},
    PresetInfo{"earth", "Earth", 6, 2},
    PresetInfo{"copper", "Copper", 8, 2},
    PresetInfo{"sunset", "Sunset", 5, 2},
    PresetInfo{"soft-diamond", "Soft Diamond", 6, 2},
    PresetInfo{"pinwheel", "Pinwheel", 5, 2},
    PresetInfo{"tartan", "Tartan", 4},
    PresetInfo{"linen", "Linen", 2},
    PresetInfo{"graphite", "Graphite", 7, 2},
    PresetInfo{"dusk", "Dusk", 3, 2},
    PresetInfo{"neon", "Neon", 1, 2},
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
