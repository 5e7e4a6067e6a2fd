#pragma once
// KDE Plasma: every desktop's wallpaper becomes Plasma's own slide show of
// the images folder, tiled, through the same scripting call the Plasma
// setter uses. The same script first prints each desktop's wallpaper before,
// which off puts back.

#include "RotationWriter.h"

namespace quorrel::output::rotation {

class CPlasmaRotation final : public IRotationWriter {
public:
    explicit CPlasmaRotation(IProcessRunner& runner) : m_runner(runner) {}

    EMethod Method() const override { return EMethod::PlasmaSlideShow; }
    void Install(const CRotationSetup& setup, CRotationState& state, StepDone done) override;
    void Remove(const CRotationState& state, StepDone done) override;

    static QString InstallScript(const QString& folder, int intervalSeconds);
    static QString RemoveScript(const CRotationState& state);
    // The previous wallpapers printed by InstallScript, as state entries
    // ("desktop N" -> "plugin\timage\tfill mode").
    static QList<QPair<QString, QString>> PreviousWallpapers(const QByteArray& output);

private:
    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
