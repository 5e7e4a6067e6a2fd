#include "WholeFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrel::output {

namespace {

// A write-only, seekable device over a file descriptor with a small buffer;
// the first failing system call's errno is kept.
class CDescriptorDevice final : public QIODevice {
public:
    explicit CDescriptorDevice(int fd) : m_fd(fd) { open(QIODevice::WriteOnly); }
    ~CDescriptorDevice() override { QIODevice::close(); }

    int Error() const { return m_error; }

    bool Flush()
    {
        const char* data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0 && m_error == 0) {
            const ssize_t n = ::write(m_fd, data, size_t(left));
            if (n < 0) {
                if (errno != EINTR)
                    m_error = errno;
                continue;
            }
            data += n;
            left -= n;
        }
        m_buffer.clear();
        return m_error == 0;
    }

    bool isSequential() const override { return false; }

    bool seek(qint64 pos) override
    {
        if (!Flush())
            return false;
        if (::lseek(m_fd, off_t(pos), SEEK_SET) < 0) {
            m_error = errno;
            return false;
        }
        return QIODevice::seek(pos);
    }

    qint64 size() const override
    {
        struct stat st {};
        const qint64 onDisk = ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
        return std::max(onDisk, pos());
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 length) override
    {
        if (m_error != 0)
            return -1;
        m_buffer.append(data, qsizetype(length));
        if (m_buffer.size() >= kBufferSize && !Flush())
            return -1;
        return length;
    }

private:
    static constexpr qsizetype kBufferSize = 64 * 1024;
    int m_fd;
    int m_error = 0;
    QByteArray m_buffer;
};

// The file a path finally names: symbolic links followed (a dangling link
// names the file it would create).
QString FinalTarget(const QString& path)
{
    QString target = path;
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            break;
        target = info.symLinkTarget();
    }
    return target;
}

// Runs `write` over an open descriptor and closes it; the errno of the
// first failure, -1 for a failure of `write` alone, or 0.
int WriteDescriptor(int fd, const std::function<bool(QIODevice&)>& write)
{
    int error = 0;
    {
        CDescriptorDevice device(fd);
        const bool written = write(device);
        const bool flushed = device.Flush();
        error = device.Error();
        if (error == 0 && !(written && flushed))
            error = -1;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

int WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    const QString target = FinalTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat existing {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return EISDIR;
    if (exists && !S_ISREG(existing.st_mode)) {
        const int fd = ::open(targetName.constData(), O_WRONLY | O_CLOEXEC);
        return fd < 0 ? errno : WriteDescriptor(fd, write);
    }

    const QFileInfo info(target);
    int fd = -1;
    QByteArray tempName;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tempName = QFile::encodeName(info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.')
                                     + QString::number(QRandomGenerator::global()->generate(), 36)
                                     + QLatin1String(".tmp"));
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    // A replaced file keeps its permissions.
    if (exists)
        ::fchmod(fd, existing.st_mode & 07777);

    int error = WriteDescriptor(fd, write);
    if (error == 0 && ::rename(tempName.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(tempName.constData());
    return error;
}

} // namespace quorrel::output
