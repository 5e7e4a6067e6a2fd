#pragma once
// A view's edit history: up to 15 whole parameter sets, oldest first, and
// the position of the one equal to the document's present set.

#include "model/TileParams.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace quorrel::app {

class CEditHistory final {
public:
    static constexpr std::size_t kMaxEntries = 15;

    // Cuts off the redo branch, appends a copy (copy rule: the active part
    // of the tables only), drops the oldest entry beyond 15, and makes the
    // new entry current.
    void Push(const model::CTileParams& params);

    bool CanUndo() const;
    bool CanRedo() const;
    // Move the position and return the entry now current. Callers check
    // CanUndo / CanRedo first.
    const model::CTileParams& Undo();
    const model::CTileParams& Redo();

    std::size_t Size() const { return m_entries.size(); }
    // The current entry's index; nothing while the history is empty.
    std::optional<std::size_t> Position() const;
    const model::CTileParams& Entry(std::size_t index) const { return *m_entries.at(index); }

private:
    std::vector<std::unique_ptr<model::CTileParams>> m_entries;
    std::size_t m_nPos = 0;   // == size() while empty
};

} // namespace quorrel::app
