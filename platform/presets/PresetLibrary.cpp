#include "PresetLibrary.h"

#include "model/Archive.h"
#include "model/TileParams.h"
#include "model/WppFile.h"

#include <QFile>

#include <span>

namespace quorrel::presets {

QString ResourcePath(const model::PresetInfo& preset)
{
    return QStringLiteral(":/quorrel/presets/") + QString::fromStdString(model::PresetFileName(preset));
}

bool LoadPreset(const model::PresetInfo& preset, model::CTileParams& params, std::string& error)
{
    QFile file(ResourcePath(preset));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "Preset " + std::string(preset.id) + " is missing.";
        return false;
    }
    const QByteArray bytes = file.read(static_cast<qint64>(model::kMaxWppSize));
    try {
        model::LoadWpp(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size()), params);
    } catch (const model::CArchiveException&) {
        error = "Preset " + std::string(preset.id) + ": Unexpected file format.";
        return false;
    }
    return true;
}

bool LoadPreset(std::string_view idOrName, model::CTileParams& params, std::string& error)
{
    const model::PresetInfo* preset = model::FindPreset(idOrName);
    if (!preset) {
        error = "Unknown preset: " + std::string(idOrName);
        return false;
    }
    return LoadPreset(*preset, params, error);
}

} // namespace quorrel::presets
