#include "ProgressBar.h"

#include <algorithm>
#include <string>

namespace quorrel::tools {

namespace {
constexpr int kWidth = 40;
}

CProgressBar::CProgressBar(std::FILE* out, bool enabled, uint32_t images)
    : m_out(out), m_enabled(enabled && out), m_images(images)
{
}

void CProgressBar::Start(uint32_t image)
{
    m_image = image;
    m_shown = -1;
    Draw(0);
}

void CProgressBar::Update(int percent)
{
    // The renderer stops short of 100 and ends with 0: neither is shown.
    Draw(std::min(percent, 99));
}

void CProgressBar::Complete()
{
    Draw(100);
}

void CProgressBar::Finish()
{
    if (m_enabled && m_drawn) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
    }
    m_drawn = false;
}

void CProgressBar::Draw(int percent)
{
    if (!m_enabled || percent <= m_shown)
        return;
    m_shown = percent;
    m_drawn = true;
    const int filled = percent * kWidth / 100;
    std::string label = "Rendering";
    if (m_images > 1) {
        label += ' ';
        label += std::to_string(m_image);
        label += '/';
        label += std::to_string(m_images);
    }
    std::fprintf(m_out, "\r%s [%s%s] %3d%%", label.c_str(), std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), percent);
    std::fflush(m_out);
}

} // namespace quorrel::tools
