#pragma once
// GNOME, Cinnamon and MATE: the slide-show XML as the background picture
// (GNOME and Cinnamon as a file URL, also for the dark style; MATE as a
// path), in the tiled placement. The desktop itself shows the images in turn.

#include "RotationWriter.h"

#include "output/GSettingsWallpaperSetter.h"

#include <QMap>

namespace quorrel::output::rotation {

class CGSettingsRotation final : public IRotationWriter {
public:
    CGSettingsRotation(IProcessRunner& runner, CGSettingsWallpaperSetter::CSchema schema)
        : m_runner(runner), m_schema(std::move(schema)) {}

    EMethod Method() const override { return EMethod::SlideShowXml; }
    void Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done) override;
    void Remove(const CRotationState& state, StepDone done) override;

    // The slide show's file in the rotation's folder.
    static QString XmlPath(const CRotationSetup& setup);

private:
    // Reads the keys back: each of `expected` must hold its value, and each
    // of `reset` no value of its own in dconf. A store that dropped the
    // writes (no session bus) is a failure.
    void ReadBack(const QMap<QString, QString>& expected, const QStringList& reset, CStepOutcome soFar,
                  StepDone done);
    CHelperCall Call(const QString& verb, const QString& key, const QString& value = {}, bool optional = false) const;

    IProcessRunner& m_runner;
    CGSettingsWallpaperSetter::CSchema m_schema;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
