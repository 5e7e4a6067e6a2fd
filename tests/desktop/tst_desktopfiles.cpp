#include "platform/desktop/FileAssociation.h"

#include <QDir>
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
    const QString entry = kResources + "/desktop/quorrel.desktop";
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
        const QString path = dir.filePath("quorrel.desktop");
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
