#pragma once
// KDE Plasma: the loop as a looping GIF in the living folder (Plasma 5 plays
// GIF with its own Qt; WebP needs a plugin Debian does not install with it),
// played by Quorrel's wallpaper package on every desktop. The package is
// written per user when no copy is installed; the scripts
// (PlasmaLivingScripts) switch it on and put the wallpapers before back.

#include "LivingWay.h"

namespace quorrel::output::living {

class CPlasmaLiving final : public ILivingWay {
public:
    explicit CPlasmaLiving(IProcessRunner& runner) : m_runner(runner) {}

    EWay Way() const override { return EWay::PlasmaPackage; }
    void Install(const CLivingSetup& setup, CLivingState& state, StepDone done) override;
    void Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done) override;

    static constexpr const char* kGifName = "loop.gif";
    // The state's entry saying the package was written per user (off removes it).
    static constexpr const char* kPackageKey = "plasma-package";

    // Writes `folder`/loop.gif from the frames file; false with the reason.
    static bool WriteLoopGif(const QString& framesFile, const QString& folder, QString& error);
    // The package folder under `dataHome` written from the copy built into
    // the program when Plasma finds no package of that id; `written` says
    // whether it wrote one. False with the reason.
    static bool EnsurePackage(const QString& dataHome, bool& written, QString& error);

private:
    IProcessRunner& m_runner;
    QObject m_context;   // last: gone first, so no helper reports to a dead way
};

} // namespace quorrel::output::living
