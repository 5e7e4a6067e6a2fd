#pragma once
// Fake desktop tools for the tests: shell scripts put first on PATH that log
// their arguments, so a test sees what would have run without touching the
// real desktop.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace quorrel::test {

class FakeTools final {
public:
    // PATH becomes `dir` followed by the old PATH until destruction.
    explicit FakeTools(const QString& dir) : m_dir(dir), m_oldPath(qgetenv("PATH"))
    {
        QDir().mkpath(dir);
        qputenv("PATH", QFile::encodeName(dir) + ":" + m_oldPath);
    }
    ~FakeTools() { qputenv("PATH", m_oldPath); }
    FakeTools(const FakeTools&) = delete;
    FakeTools& operator=(const FakeTools&) = delete;

    // A tool that appends "name arg..." to log.txt, then runs `extra`.
    void Add(const QString& name, const QString& extra = QString()) const
    {
        const QString path = QDir(m_dir).filePath(name);
        QFile script(path);
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\necho \"%1 $*\" >> \"%2\"\n%3\n")
                         .arg(name, Log(), extra)
                         .toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString Log() const { return QDir(m_dir).filePath(QStringLiteral("log.txt")); }
    QStringList LogLines() const
    {
        QFile log(Log());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QString m_dir;
    QByteArray m_oldPath;
};

} // namespace quorrel::test
