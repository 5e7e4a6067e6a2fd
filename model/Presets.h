#pragma once
// The catalogue of presets: parameter sets shipped with the program as
// "*.wpp" documents (resources/presets/<id>.wpp), each with the seed whose
// generation gave its shipped tile. The documents themselves are read by
// whoever ships them (the editor and quorrel-render embed them as
// resources); this part only names them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorrel::model {

struct PresetInfo {
    std::string_view id;     // file name without ".wpp"; lower case, digits and '-'
    std::string_view name;   // shown under the thumbnail
    uint32_t seed;           // GenerateRandom(seed) on its settings gives the shipped tile
    // The scale it looks calmest at when rendered continuously (1..8): the
    // gallery's thumbnails and quorrel-render --preset --continuous use it.
    uint32_t scale = 1;
};

// Every preset, in the gallery's order.
std::span<const PresetInfo> Presets();

// The preset whose id or name equals `text`, ignoring case; nullptr when
// there is none.
const PresetInfo* FindPreset(std::string_view text);

// "<id>.wpp"
std::string PresetFileName(const PresetInfo& preset);

} // namespace quorrel::model
