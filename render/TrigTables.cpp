#include "TrigTables.h"

#include <cmath>

namespace quorrel::render {

TrigTable::TrigTable(uint32_t size, uint32_t harmonics)
    : m_harmonics(harmonics), m_cos(std::size_t(size) * harmonics), m_sin(std::size_t(size) * harmonics)
{
    const double step = TableStep(size);
    for (uint32_t pos = 0; pos < size; ++pos) {
        for (uint32_t n = 0; n < harmonics; ++n) {
            const double angle = TableAngle(pos, step, n);
            m_cos[std::size_t(pos) * harmonics + n] = std::cos(angle);
            m_sin[std::size_t(pos) * harmonics + n] = std::sin(angle);
        }
    }
}

} // namespace quorrel::render
