#pragma once
// KDE Plasma: every desktop's wallpaper becomes Plasma's own slide show of
// the images folder, tiled, through the same scripting call the Plasma
// setter uses. A first script prints each desktop's wallpaper and slide-show
// settings before (kept in the journal), a second switches; off puts the
// wallpaper back and the slide show's folder list as it was, so no setting
// names the removed folder.

#include "RotationWriter.h"

namespace quorrel::output::rotation {

class CPlasmaRotation final : public IRotationWriter {
public:
    explicit CPlasmaRotation(IProcessRunner& runner) : m_runner(runner) {}

    EMethod Method() const override { return EMethod::PlasmaSlideShow; }
    void Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done) override;
    void Remove(const CRotationState& state, StepDone done) override;

    // Prints every desktop's wallpaper and slide-show settings, changing nothing.
    static QString ReadScript();
    static QString InstallScript(const QString& folder, int intervalSeconds, bool randomOrder = false);
    static QString RemoveScript(const CRotationState& state);
    // The settings printed by ReadScript, as state entries: "desktop N" ->
    // "plugin\timage\tfill mode" and "slide show N" -> "paths as JSON\tinterval\tmode".
    static QList<QPair<QString, QString>> PreviousWallpapers(const QByteArray& output);

private:
    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead writer
};

} // namespace quorrel::output::rotation
