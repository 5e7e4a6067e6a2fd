#pragma once
// A little-endian byte stream for storing into a growing buffer or loading
// from a fixed one, as the "*.wpp" files and the stored defaults use.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorrel::model {

// Thrown when loading runs past the end of the data or finds values it
// cannot accept. The framework reports every cause as "Unexpected file format."
class CArchiveException final : public std::runtime_error {
public:
    enum Cause { endOfFile, badFormat, badClass, badSchema };
    explicit CArchiveException(Cause cause);
    Cause m_cause;
};

inline constexpr const char* kUnexpectedFileFormat = "Unexpected file format.";

class CArchive final {
public:
    // Storing: appends to an internal buffer (reserved at `initialSize`).
    explicit CArchive(std::size_t initialSize = 4096);
    // Loading: reads from `data`, which must outlive the archive.
    explicit CArchive(std::span<const uint8_t> data);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteF64(double v);
    void WriteBytes(std::span<const uint8_t> bytes);

    uint16_t ReadU16();
    uint32_t ReadU32();
    double ReadF64();
    void ReadBytes(std::span<uint8_t> out);

    const std::vector<uint8_t>& Buffer() const { return m_out; }
    std::size_t Position() const { return m_pos; }
    std::size_t Remaining() const { return m_in.size() - m_pos; }

private:
    void Need(std::size_t n) const;

    bool m_storing;
    std::vector<uint8_t> m_out;
    std::span<const uint8_t> m_in;
    std::size_t m_pos = 0;
};

} // namespace quorrel::model
