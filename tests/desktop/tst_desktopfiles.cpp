#include "platform/desktop/FileAssociation.h"

#include <QDate>
#include <QDir>
#include <QImage>
#include <QMimeDatabase>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using quorrel::desktop::AssociationSetup;
using quorrel::desktop::FileAssociation;

namespace {

const QString kResources = QStringLiteral(QUORREL_RESOURCES_DIR);
const QString kPackaging = QStringLiteral(QUORREL_PACKAGING_DIR);

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    ToolRun run;
    if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

// desktop-file-validate prints hints and warnings as well as errors; only
// errors make an entry unusable, and it exits non-zero on them.
void ExpectValidEntry(const QString& path)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing (scripts/setup.sh installs it)";
    const ToolRun run = RunTool(validator, {path});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("error:")) << run.output.toStdString();
}

QString Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(DesktopFiles, TheInstalledEntryIsValid)
{
    // The entry is named after the application id, as the metainfo's
    // launchable and Wayland's app id expect.
    const QString entry = kResources + "/desktop/" + QLatin1String(quorrel::desktop::kDesktopFileName);
    EXPECT_EQ(QLatin1String(quorrel::desktop::kDesktopFileName),
              QLatin1String(quorrel::desktop::kApplicationId) + ".desktop");
    const QString text = Read(entry);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=quorrel %F\n"));
    EXPECT_TRUE(text.contains("\nMimeType=application/x-quorrel-document;\n"));
    EXPECT_TRUE(text.contains("\nIcon=quorrel\n"));
    ExpectValidEntry(entry);
}

TEST(DesktopFiles, TheUsersEntryIsValidWhereverTheEditorLives)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& exe : {QStringLiteral("/usr/local/bin/quorrel"), QStringLiteral("/home/me/my \"tools\"/$bin/quorrel")}) {
        AssociationSetup setup;
        setup.dataHome = dir.path();
        setup.executable = exe;
        const QString path = dir.filePath(QLatin1String(quorrel::desktop::kDesktopFileName));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(FileAssociation(setup).DesktopEntryText().toUtf8());
        file.close();
        ExpectValidEntry(path);
    }
}

TEST(DesktopFiles, TheMimeTypeIsWellFormedAndDescribesWppFiles)
{
    const QString xml = kResources + "/desktop/quorrel-mime.xml";
    EXPECT_EQ(Read(xml).toUtf8(), FileAssociation::MimeTypeXml()) << "the library must carry the installed file";

    QXmlStreamReader reader(FileAssociation::MimeTypeXml());
    QStringList globs;
    QString type, icon;
    QString rootNamespace;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("mime-info"))
            rootNamespace = reader.namespaceUri().toString();
        else if (reader.name() == QLatin1String("mime-type"))
            type = reader.attributes().value("type").toString();
        else if (reader.name() == QLatin1String("glob"))
            globs << reader.attributes().value("pattern").toString();
        else if (reader.name() == QLatin1String("icon"))
            icon = reader.attributes().value("name").toString();
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(rootNamespace, "http://www.freedesktop.org/standards/shared-mime-info");
    EXPECT_EQ(type, "application/x-quorrel-document");
    EXPECT_EQ(globs, QStringList{"*.wpp"});
    EXPECT_EQ(icon, "application-x-quorrel-document");

    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    ASSERT_FALSE(xmllint.isEmpty()) << "xmllint is missing (scripts/setup.sh installs it)";
    const ToolRun run = RunTool(xmllint, {"--noout", xml});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
}

TEST(DesktopFiles, TheMimeDatabaseAcceptsTheType)
{
    // update-mime-database compiles the package into a database; a wrong
    // package is reported and no type appears.
    const QString tool = QStandardPaths::findExecutable("update-mime-database");
    ASSERT_FALSE(tool.isEmpty()) << "update-mime-database is missing (scripts/setup.sh installs it)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(kResources + "/desktop/quorrel-mime.xml", dir.filePath("mime/packages/quorrel.xml")));
    const ToolRun run = RunTool(tool, {dir.filePath("mime")});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("mime/application/x-quorrel-document.xml")));
    EXPECT_TRUE(Read(dir.filePath("mime/globs2")).contains("application/x-quorrel-document:*.wpp"));
}

TEST(DesktopFiles, AWppDocumentIsOursBesideTheSystemsTypes)
{
    // shared-mime-info gives "*.wpp" to WordPerfect as well, and a document
    // has no header a content check could recognise: only the weight of our
    // glob makes the desktop (GIO, Qt, xdg-mime) open it with this editor.
    const QString system = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
    ASSERT_TRUE(QFile::exists(system)) << "shared-mime-info is missing (scripts/setup.sh installs it)";
    const QString tool = QStandardPaths::findExecutable("update-mime-database");
    ASSERT_FALSE(tool.isEmpty()) << "update-mime-database is missing (scripts/setup.sh installs it)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(system, dir.filePath("mime/packages/freedesktop.org.xml")));
    ASSERT_TRUE(QFile::copy(kResources + "/desktop/quorrel-mime.xml", dir.filePath("mime/packages/quorrel.xml")));
    // A scratch database: no need to sync each of its thousand files.
    qputenv("PKGSYSTEM_ENABLE_FSYNC", "0");
    const ToolRun run = RunTool(tool, {dir.filePath("mime")});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    // This process reads no other MIME database (its first use is here).
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("empty")));
    const QString document = dir.filePath("ocean.wpp");
    ASSERT_TRUE(QFile::copy(kResources + "/presets/ocean.wpp", document));
    const QMimeDatabase database;
    ASSERT_TRUE(database.mimeTypeForName("application/vnd.wordperfect").isValid()) << "the system's types were not loaded";
    const std::string ours = quorrel::desktop::kMimeType;
    EXPECT_EQ(database.mimeTypeForFile(document).name().toStdString(), ours);
    EXPECT_EQ(database.mimeTypeForFile(document, QMimeDatabase::MatchExtension).name().toStdString(), ours);
    EXPECT_EQ(database.mimeTypeForFile(dir.filePath("not-there.wpp")).name().toStdString(), ours);
}

namespace {

// What the software centres read from the metainfo file.
struct Metainfo {
    QString id, launchable, newestRelease, newestDate;
    QStringList binaries, mediaTypes, screenshots;
    bool wellFormed = false;
};

Metainfo ReadMetainfo(const QString& path)
{
    QFile file(path);
    Metainfo info;
    if (!file.open(QIODevice::ReadOnly))
        return info;
    QXmlStreamReader reader(&file);
    QStringList path_;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            path_.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        path_ << reader.name().toString();
        const QString where = path_.join('/');
        if (where == "component/id")
            info.id = reader.readElementText(), path_.removeLast();
        else if (where == "component/launchable")
            info.launchable = reader.readElementText(), path_.removeLast();
        else if (where == "component/provides/binary")
            info.binaries << reader.readElementText(), path_.removeLast();
        else if (where == "component/provides/mediatype")
            info.mediaTypes << reader.readElementText(), path_.removeLast();
        else if (where == "component/screenshots/screenshot/image")
            info.screenshots << reader.readElementText(), path_.removeLast();
        else if (where == "component/releases/release" && info.newestRelease.isEmpty()) {
            info.newestRelease = reader.attributes().value("version").toString();
            info.newestDate = reader.attributes().value("date").toString();
        }
    }
    info.wellFormed = !reader.hasError();
    return info;
}

} // namespace

TEST(DesktopFiles, TheMetainfoDescribesThisApplication)
{
    using namespace quorrel::desktop;
    const QString path = kPackaging + "/" + QLatin1String(kApplicationId) + ".metainfo.xml";
    const Metainfo info = ReadMetainfo(path);
    ASSERT_TRUE(info.wellFormed) << path.toStdString();
    EXPECT_EQ(info.id, QLatin1String(kApplicationId));
    EXPECT_EQ(info.launchable, QLatin1String(kDesktopFileName));
    EXPECT_TRUE(QFile::exists(kResources + "/desktop/" + info.launchable));
    // The binaries the build installs, and the type of its documents.
    EXPECT_EQ(info.binaries, QStringLiteral(QUORREL_BINARIES).split(' '));
    EXPECT_EQ(info.mediaTypes, QStringList{QLatin1String(kMimeType)});

    // The newest release is this version, in the metainfo and in the
    // package's changelog alike.
    EXPECT_EQ(info.newestRelease, QStringLiteral(QUORREL_VERSION));
    EXPECT_TRUE(QDate::fromString(info.newestDate, Qt::ISODate).isValid()) << info.newestDate.toStdString();
    EXPECT_TRUE(Read(kPackaging + "/../debian/changelog").startsWith("quorrel (" QUORREL_VERSION ") "));

    // Every screenshot is kept in the repository under its published name.
    ASSERT_EQ(info.screenshots.size(), 3);
    for (const QString& url : info.screenshots) {
        const QImage shot(kPackaging + "/screenshots/" + url.section('/', -1));
        EXPECT_FALSE(shot.isNull()) << url.toStdString();
        EXPECT_EQ(shot.size(), QSize(1280, 800)) << url.toStdString();
    }

    // Debian 12's validator: no errors and no warnings (pedantic notes and
    // information lines are allowed).
    const QString validator = QStandardPaths::findExecutable("appstreamcli");
    ASSERT_FALSE(validator.isEmpty()) << "appstreamcli is missing (scripts/setup.sh installs it)";
    const ToolRun run = RunTool(validator, {"validate", "--no-net", "--pedantic", path});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    for (const QString& line : run.output.split('\n'))
        EXPECT_FALSE(line.startsWith("E:") || line.startsWith("W:")) << line.toStdString();
}
