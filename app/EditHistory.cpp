#include "EditHistory.h"

namespace quorrel::app {

void CEditHistory::Push(const model::CTileParams& params)
{
    if (!m_entries.empty())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(m_nPos) + 1, m_entries.end());
    m_entries.push_back(std::make_unique<model::CTileParams>(params));
    if (m_entries.size() > kMaxEntries)
        m_entries.erase(m_entries.begin());
    m_nPos = m_entries.size() - 1;
}

bool CEditHistory::CanUndo() const { return !m_entries.empty() && m_nPos > 0; }

bool CEditHistory::CanRedo() const { return !m_entries.empty() && m_nPos + 1 < m_entries.size(); }

const model::CTileParams& CEditHistory::Undo()
{
    if (CanUndo())
        --m_nPos;
    return *m_entries.at(m_nPos);
}

const model::CTileParams& CEditHistory::Redo()
{
    if (CanRedo())
        ++m_nPos;
    return *m_entries.at(m_nPos);
}

std::optional<std::size_t> CEditHistory::Position() const
{
    if (m_entries.empty())
        return std::nullopt;
    return m_nPos;
}

} // namespace quorrel::app
