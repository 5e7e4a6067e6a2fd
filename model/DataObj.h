#pragma once
// The stored defaults: a parameter set without coefficients, archived as a
// one-element object list (672 bytes: count 1, a class description for
// "CDataObj" with schema 1, then the 656-byte parameter record).

#include "TileParams.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace quorrel::model {

class CArchive;

class CDataObj final {
public:
    CDataObj() = default;
    explicit CDataObj(const CTileParams& params) : m_params(params) {}

    // The parameter record only; coefficients are never part of it.
    void Serialize(CArchive& ar);

    CTileParams m_params;
};

using CObList = std::vector<std::unique_ptr<CDataObj>>;

inline constexpr std::size_t kStoredDefaultsSize = 672;

// The framework's archive form of an object list. Loading accepts an empty
// list or exactly one CDataObj, and throws CArchiveException otherwise.
void StoreObList(CArchive& ar, const CObList& list);
CObList LoadObList(CArchive& ar);

// Convenience forms used by the settings store and the tests.
std::vector<uint8_t> EncodeDefaults(const CTileParams& params);
// The stored parameter set, or nothing when the bytes do not load.
std::unique_ptr<CTileParams> DecodeDefaults(std::span<const uint8_t> bytes);

} // namespace quorrel::model
