#pragma once
// GNOME, Cinnamon and MATE: the slide-show XML as the background picture
// (GNOME and Cinnamon as a file URL, also for the dark style; MATE as a
// path), in the tiled placement. The desktop itself shows the images in turn.

#include "RotationWriter.h"

#include "output/GSettingsWallpaperSetter.h"

namespace quorrel::output::rotation {

class CGSettingsRotation final : public IRotationWriter {
public:
    CGSettingsRotation(IProcessRunner& runner, CGSettingsWallpaperSetter::CSchema schema)
        : m_runner(runner), m_schema(std::move(schema)) {}

    EMethod Method() const override { return EMethod::SlideShowXml; }
    void Install(const CRotationSetup& setup, CRotationState& state, StepDone done) override;
    void Remove(const CRotationState& state, StepDone done) override;

    // The slide show's file in the rotation's folder.
    static QString XmlPath(const CRotationSetup& setup);

private:
    CHelperCall Call(const QString& verb, const QString& key, const QString& value = {}, bool optional = false) const;

    IProcessRunner& m_runner;
    CGSettingsWallpaperSetter::CSchema m_schema;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
