#pragma once
// A device the image encoders write through into a staged file. A failed
// write is kept in the staged file and never reported to the encoder: the
// encoders' libraries would print their own lines on stderr, and the one
// message the user sees comes from the staged file's failure instead.

#include "model/StagedFile.h"

#include <QByteArray>
#include <QIODevice>

#include <atomic>
#include <functional>

namespace quorrel::output {

class CStagedFileDevice final : public QIODevice {
public:
    // `grown`, when given, hears the file's size each time it grows. Once
    // `cancel` is set, every write fails, so the encoder stops early.
    explicit CStagedFileDevice(model::CStagedFile& file, std::function<void(qint64 size)> grown = {},
                               const std::atomic<bool>* cancel = nullptr);
    ~CStagedFileDevice() override;

    bool isSequential() const override { return false; }
    bool seek(qint64 pos) override;
    qint64 size() const override { return m_size; }
    void close() override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    void Flush();

    model::CStagedFile& m_file;
    QByteArray m_pending;   // bytes for m_pendingAt onwards, written in large pieces
    qint64 m_pendingAt = 0;
    qint64 m_size = 0;
    std::function<void(qint64)> m_grown;
    const std::atomic<bool>* m_pCancel = nullptr;
};

} // namespace quorrel::output
