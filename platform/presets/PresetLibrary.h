#pragma once
// The presets' documents, built into the program as Qt resources (QtCore
// only, so the command-line renderer can use them as well as the editor).

#include "model/Presets.h"

#include <QString>

#include <string>
#include <string_view>

namespace quorrel::model { class CTileParams; }

namespace quorrel::presets {

// Where a preset's document lives among the resources.
QString ResourcePath(const model::PresetInfo& preset);

// Loads the preset's document into `params`: its settings and the tile of its
// seed. False, with the reason in `error`, when the document is missing or
// does not load; `params` is then unchanged.
bool LoadPreset(const model::PresetInfo& preset, model::CTileParams& params, std::string& error);

// The same for the preset named `idOrName` (its id or its name, in any case).
bool LoadPreset(std::string_view idOrName, model::CTileParams& params, std::string& error);

} // namespace quorrel::presets
