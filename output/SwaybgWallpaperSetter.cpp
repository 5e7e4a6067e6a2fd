#include "SwaybgWallpaperSetter.h"

namespace quorrel::output {

void CSwaybgWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    const CHelperCall call{QStringLiteral("swaybg"),
                           {QStringLiteral("-o"), QStringLiteral("*"), QStringLiteral("-m"), QStringLiteral("tile"),
                            QStringLiteral("-i"), files.png}};
    const QString tried = CommandLine(call);
    m_starting = m_runner.StartChild(
        call.program, call.arguments, &m_context, [this, done = std::move(done), tried](const CProcessResult& result) {
            if (result.status == CProcessResult::EStatus::Running) {
                m_current = std::move(m_starting);   // ends the one before
                done({{tried}, {}});
                return;
            }
            // The one before keeps showing the last wallpaper.
            m_starting.reset();
            const QString problem = result.status == CProcessResult::EStatus::Exited && result.exitCode == 0
                                        ? QStringLiteral("swaybg ended at once.")
                                        : result.Problem(QStringLiteral("swaybg"), m_runner.TimeoutMs());
            done({{tried}, problem});
        });
}

} // namespace quorrel::output
