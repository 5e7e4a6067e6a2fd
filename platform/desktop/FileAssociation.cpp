#include "FileAssociation.h"

#include "Artwork.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace quorrel::desktop {

namespace {

const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QByteArray ReadResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

// The program of an installed entry's Exec line (its first word, unquoted).
QString ExecProgram(const QByteArray& entry)
{
    for (const QByteArray& rawLine : entry.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (!line.startsWith(QLatin1String("Exec=")))
            continue;
        QString value = line.mid(5).trimmed();
        if (value.startsWith(QLatin1Char('"'))) {
            const qsizetype end = value.indexOf(QLatin1Char('"'), 1);
            return end > 0 ? value.mid(1, end - 1) : QString();
        }
        return value.section(QLatin1Char(' '), 0, 0);
    }
    return {};
}

QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

AssociationSetup AssociationSetup::ForThisEditor()
{
    AssociationSetup setup;
    setup.dataHome = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (setup.dataHome.isEmpty())
        setup.dataHome = QDir::home().filePath(QStringLiteral(".local/share"));
    QString dirs = QString::fromLocal8Bit(qgetenv("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    setup.dataDirs = dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    setup.executable = QCoreApplication::applicationFilePath();
    return setup;
}

FileAssociation::FileAssociation(AssociationSetup setup) : m_setup(std::move(setup)) {}

QString FileAssociation::QuoteExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString escaped;
    bool needsQuotes = argument.isEmpty();
    for (const QChar ch : argument) {
        if (reserved.contains(ch))
            needsQuotes = true;
        if (ch == QLatin1Char('"') || ch == QLatin1Char('`') || ch == QLatin1Char('$') || ch == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += ch;
    }
    // A literal percent sign is written as "%%" in an Exec value.
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    QString quoted = needsQuotes ? QLatin1Char('"') + escaped + QLatin1Char('"') : escaped;
    // The Exec key is a string value, whose own escape doubles backslashes.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return quoted;
}

QString FileAssociation::DesktopEntryText() const
{
    const QString tmpl = QString::fromUtf8(ReadResource(QStringLiteral(":/quorrel/desktop/") + QLatin1String(kDesktopFileName)));
    QString text;
    QTextStream out(&text);
    const QString program = QuoteExecArgument(m_setup.executable);
    for (const QString& line : tmpl.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
            out << "Exec=" << program << " %F\n";
        else if (line.startsWith(QLatin1String("TryExec=")))
            out << "TryExec=" << QString(m_setup.executable).replace(QLatin1Char('\\'), QStringLiteral("\\\\")) << '\n';
        else if (!line.isEmpty())
            out << line << '\n';
    }
    return text;
}

QByteArray FileAssociation::MimeTypeXml()
{
    return ReadResource(QStringLiteral(":/quorrel/desktop/quorrel-mime.xml"));
}

QString FileAssociation::DesktopEntryPath() const
{
    return QDir(m_setup.dataHome).filePath(QStringLiteral("applications/") + QLatin1String(kDesktopFileName));
}

QString FileAssociation::LegacyDesktopEntryPath() const
{
    return QDir(m_setup.dataHome).filePath(QStringLiteral("applications/") + QLatin1String(kLegacyDesktopFileName));
}

QString FileAssociation::MimePackagePath() const
{
    return QDir(m_setup.dataHome).filePath(QStringLiteral("mime/packages/") + QLatin1String(kMimePackageName));
}

bool FileAssociation::UserEntriesMatch() const
{
    return ReadFile(DesktopEntryPath()) == DesktopEntryText().toUtf8()
        && ReadFile(MimePackagePath()) == MimeTypeXml();
}

bool FileAssociation::InstalledForThisEditor() const
{
    const QString self = Canonical(m_setup.executable);
    for (const QString& dir : m_setup.dataDirs) {
        const QDir data(dir);
        const QString entryPath = data.filePath(QStringLiteral("applications/") + QLatin1String(kDesktopFileName));
        const QString mimePath = data.filePath(QStringLiteral("mime/packages/") + QLatin1String(kMimePackageName));
        if (!QFileInfo::exists(entryPath) || !QFileInfo::exists(mimePath))
            continue;
        QString program = ExecProgram(ReadFile(entryPath));
        if (program.isEmpty())
            continue;
        if (!QFileInfo(program).isAbsolute())
            program = QStandardPaths::findExecutable(program);
        if (!program.isEmpty() && Canonical(program) == self)
            return true;
    }
    return false;
}

bool FileAssociation::RemoveLegacyEntry() const
{
    // Only an entry this editor wrote: it opens our documents with this
    // same program. Anything else under that name belongs to someone else.
    const QString path = LegacyDesktopEntryPath();
    const QByteArray entry = ReadFile(path);
    if (entry.isEmpty() || !entry.contains(QByteArray("\nMimeType=") + kMimeType + ';'))
        return false;
    const QString program = ExecProgram(entry);
    if (program.isEmpty() || Canonical(program) != Canonical(m_setup.executable))
        return false;
    return QFile::remove(path);
}

bool FileAssociation::IsRegistered() const
{
    return UserEntriesMatch() || InstalledForThisEditor();
}

bool FileAssociation::WriteIcons(QString& error) const
{
    const QIcon app = ApplicationIcon();
    const QIcon document = DocumentIcon();
    const QDir hicolor(QDir(m_setup.dataHome).filePath(QStringLiteral("icons/hicolor")));
    for (const int size : kIconSizes) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString appPath = hicolor.filePath(folder + QStringLiteral("/apps/") + QLatin1String(kAppIconName) + QStringLiteral(".png"));
        const QString docPath = hicolor.filePath(folder + QStringLiteral("/mimetypes/") + QLatin1String(kDocumentIconName) + QStringLiteral(".png"));
        for (const auto& [path, icon] : {std::pair{appPath, &app}, std::pair{docPath, &document}}) {
            if (QFileInfo::exists(path))
                continue;
            if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !icon->pixmap(size, size).save(path, "PNG")) {
                error = QStringLiteral("cannot write %1").arg(path);
                return false;
            }
        }
    }
    return true;
}

bool FileAssociation::RunTool(const QString& program, const QStringList& arguments) const
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted(m_setup.toolTimeoutMs))
        return false;
    if (!process.waitForFinished(m_setup.toolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

AssociationResult FileAssociation::RegisterIfMissing() const
{
    AssociationResult result;
    if (m_setup.dataHome.isEmpty() || m_setup.executable.isEmpty()) {
        result.error = QStringLiteral("no data folder or executable to register");
        return result;
    }
    const QDir data(m_setup.dataHome);
    const bool legacyRemoved = RemoveLegacyEntry();
    if (IsRegistered()) {
        result.outcome = AssociationResult::Outcome::AlreadyRegistered;
        if (legacyRemoved
            && RunTool(QStringLiteral("update-desktop-database"), {data.filePath(QStringLiteral("applications"))}))
            result.toolsRun << QStringLiteral("update-desktop-database");
        return result;
    }
    const QByteArray mime = MimeTypeXml();
    const QByteArray entry = DesktopEntryText().toUtf8();
    if (mime.isEmpty() || entry.isEmpty()) {
        result.error = QStringLiteral("the desktop files are missing from the resources");
        return result;
    }
    if (m_setup.writeIcons && !WriteIcons(result.error))
        return result;
    // The MIME type first: the entry refers to it.
    if (!WriteFileAtomically(MimePackagePath(), mime, result.error)
        || !WriteFileAtomically(DesktopEntryPath(), entry, result.error))
        return result;

    if (RunTool(QStringLiteral("update-mime-database"), {data.filePath(QStringLiteral("mime"))}))
        result.toolsRun << QStringLiteral("update-mime-database");
    if (RunTool(QStringLiteral("update-desktop-database"), {data.filePath(QStringLiteral("applications"))}))
        result.toolsRun << QStringLiteral("update-desktop-database");
    result.outcome = AssociationResult::Outcome::Registered;
    return result;
}

} // namespace quorrel::desktop
