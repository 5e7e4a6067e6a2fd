#pragma once
// Slow living, where the desktop paints its own background and changes it
// by itself, with no process of ours: frames of the loop as slides.
// GNOME, Cinnamon and MATE read the slide-show XML: each slide shown
// briefly, then a long cross-fade into the next, once through the loop in
// the chosen period, the last fading back into the first. XFCE's xfdesktop
// cycles the slides' folder itself, a slide every period / slides.

#include "LivingWay.h"

#include "output/GSettingsWallpaperSetter.h"
#include "output/rotation/SlideShowXml.h"

#include <QDateTime>

namespace quorrel::output::living {

// A slide's share of the period: a twentieth shown alone, the rest fading.
rotation::CSlideShowTiming SlowTiming(int periodSeconds, int slides);
// The XML for `slides` over `periodSeconds` from `start`.
QString SlowSlideShowXml(const QStringList& slides, int periodSeconds, const QDateTime& start);

class CSlideShowLiving final : public ILivingWay {
public:
    CSlideShowLiving(IProcessRunner& runner, CGSettingsWallpaperSetter::CSchema schema)
        : m_runner(runner), m_schema(std::move(schema)) {}

    EWay Way() const override { return EWay::SlideShowXml; }
    void Install(const CLivingSetup& setup, CLivingState& state, StepDone done) override;
    void Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done) override;

    static constexpr const char* kXmlName = "slow-living.xml";

private:
    CHelperCall Call(const QString& verb, const QString& key, const QString& value = {}, bool optional = false) const;

    IProcessRunner& m_runner;
    CGSettingsWallpaperSetter::CSchema m_schema;
    QObject m_context;
};

class CXfceLiving final : public ILivingWay {
public:
    explicit CXfceLiving(IProcessRunner& runner) : m_runner(runner) {}

    EWay Way() const override { return EWay::XfceCycle; }
    void Install(const CLivingSetup& setup, CLivingState& state, StepDone done) override;
    void Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done) override;

    // Seconds between slides: the period shared out, at least one.
    static int SlideSeconds(int periodSeconds, int slides);

private:
    CHelperCall Query(const QStringList& arguments, bool optional = false) const;

    IProcessRunner& m_runner;
    QObject m_context;
};

} // namespace quorrel::output::living
