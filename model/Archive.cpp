#include "Archive.h"

#include <bit>
#include <cstring>

namespace quorrel::model {

CArchiveException::CArchiveException(Cause cause)
    : std::runtime_error(kUnexpectedFileFormat), m_cause(cause)
{
}

CArchive::CArchive(std::size_t initialSize) : m_storing(true)
{
    m_out.reserve(initialSize);
}

CArchive::CArchive(std::span<const uint8_t> data) : m_storing(false), m_in(data)
{
}

void CArchive::WriteU16(uint16_t v)
{
    m_out.push_back(static_cast<uint8_t>(v));
    m_out.push_back(static_cast<uint8_t>(v >> 8));
}

void CArchive::WriteU32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void CArchive::WriteF64(double v)
{
    const auto bits = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        m_out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void CArchive::WriteBytes(std::span<const uint8_t> bytes)
{
    m_out.insert(m_out.end(), bytes.begin(), bytes.end());
}

void CArchive::Need(std::size_t n) const
{
    if (m_in.size() - m_pos < n)
        throw CArchiveException(CArchiveException::endOfFile);
}

uint16_t CArchive::ReadU16()
{
    Need(2);
    const uint16_t v = static_cast<uint16_t>(m_in[m_pos] | (m_in[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

uint32_t CArchive::ReadU32()
{
    Need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(m_in[m_pos + i]) << (8 * i);
    m_pos += 4;
    return v;
}

double CArchive::ReadF64()
{
    Need(8);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(m_in[m_pos + i]) << (8 * i);
    m_pos += 8;
    return std::bit_cast<double>(bits);
}

void CArchive::ReadBytes(std::span<uint8_t> out)
{
    Need(out.size());
    std::memcpy(out.data(), m_in.data() + m_pos, out.size());
    m_pos += out.size();
}

} // namespace quorrel::model
