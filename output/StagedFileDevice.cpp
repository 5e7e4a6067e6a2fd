#include "StagedFileDevice.h"

#include <algorithm>
#include <span>

namespace quorrel::output {

namespace {
constexpr qsizetype kPieceBytes = 1 << 20;
}

CStagedFileDevice::CStagedFileDevice(model::CStagedFile& file, std::function<void(qint64 size)> grown,
                                     const std::atomic<bool>* cancel)
    : m_file(file), m_grown(std::move(grown)), m_pCancel(cancel)
{
    open(QIODevice::ReadWrite);
}

CStagedFileDevice::~CStagedFileDevice() { close(); }

bool CStagedFileDevice::seek(qint64 pos)
{
    Flush();
    return QIODevice::seek(pos);
}

void CStagedFileDevice::close()
{
    Flush();
    QIODevice::close();
}

qint64 CStagedFileDevice::readData(char* data, qint64 maxSize)
{
    Flush();
    return m_file.ReadAt(uint64_t(pos()), std::span<uint8_t>(reinterpret_cast<uint8_t*>(data), std::size_t(maxSize)));
}

qint64 CStagedFileDevice::writeData(const char* data, qint64 size)
{
    if (m_pCancel && m_pCancel->load())
        return -1;   // the file is never committed: nothing is left of it
    // QIODevice moves pos() past the bytes after this returns.
    if (!m_pending.isEmpty() && m_pendingAt + m_pending.size() != pos())
        Flush();
    if (m_pending.isEmpty())
        m_pendingAt = pos();
    m_pending.append(data, qsizetype(size));
    if (pos() + size > m_size) {
        m_size = pos() + size;
        if (m_grown)
            m_grown(m_size);
    }
    if (m_pending.size() >= kPieceBytes)
        Flush();
    return size;
}

void CStagedFileDevice::Flush()
{
    if (m_pending.isEmpty())
        return;
    m_file.WriteAt(uint64_t(m_pendingAt),
                   std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(m_pending.constData()),
                                            std::size_t(m_pending.size())));
    m_pending.clear();
}

} // namespace quorrel::output
