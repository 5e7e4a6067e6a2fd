// File names as the system's bytes: names that are not UTF-8 survive the
// trip through a QString, arguments keep them, and a name a file dialog
// showed with U+FFFD finds the real file.

#include "platform/NativePath.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace quorrel::platform;

TEST(NativePath, EveryByteSequenceSurvivesTheRoundTrip)
{
    const QByteArray cases[] = {
        "plain.wpp",
        "/home/ü/ünïcödé 🌊.wpp",                // valid UTF-8 stays as it is
        "\xff\xfe.wpp",                           // bytes that are never UTF-8
        "caf\xe9.wpp",                            // Latin-1
        "\xc3(",                                  // a lead byte without its follower
        "\xe2\x82",                               // cut short at the end
        "\xc0\xaf",                               // an overlong "/"
        "\xed\xa0\x80",                           // a UTF-8 encoded surrogate
        "\xf4\x90\x80\x80",                       // past U+10FFFF
        "\xed\xb2\x80\xff",                       // what an escaped byte would encode to
    };
    for (const QByteArray& bytes : cases) {
        const QString path = PathFromNative(bytes);
        EXPECT_EQ(NativePath(path), bytes) << bytes.toHex().toStdString();
        EXPECT_FALSE(DisplayPath(path).contains(QChar(0xDCFF)));
    }
    EXPECT_EQ(PathFromNative("/home/ü/a.wpp"), QString::fromUtf8("/home/ü/a.wpp"));
    EXPECT_EQ(DisplayPath(PathFromNative("caf\xe9.wpp")), QString::fromUtf8("caf\xef\xbf\xbd.wpp"));
    EXPECT_EQ(PathFromNative("caf\xe9.wpp").size(), 8);
}

TEST(NativePath, ArgumentsKeepTheirBytes)
{
    const char* argv[] = {"quorrel", "--print", "\xff.wpp", "sky.wpp"};
    const QStringList arguments = ArgumentsFromNative(4, argv);
    ASSERT_EQ(arguments.size(), 3);
    EXPECT_EQ(arguments.at(0), "--print");
    EXPECT_EQ(NativePath(arguments.at(1)), QByteArray("\xff.wpp"));
    EXPECT_EQ(arguments.at(2), "sky.wpp");
}

TEST(NativePath, RelativeNamesBecomeAbsoluteWithTheirBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString absolute = AbsolutePath(PathFromNative("sub/../caf\xe9.wpp"));
    QDir::setCurrent(current);
    EXPECT_EQ(NativePath(absolute), QFile::encodeName(dir.path()) + "/caf\xe9.wpp");
    EXPECT_EQ(AbsolutePath("/a/./b/../c.wpp"), "/a/c.wpp");
}

TEST(NativePath, ANameShownWithReplacementCharactersFindsTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("sub")));
    ASSERT_EQ(::mkdir((root + "/f\xf6lder").constData(), 0700), 0);
    std::ofstream((root + "/f\xf6lder/t\xe9st.wpp").constData()) << "x";
    std::ofstream((root + "/sub/\xe4.wpp").constData()) << "1";
    std::ofstream((root + "/sub/\xf6.wpp").constData()) << "2";

    // As a dialog shows them: each byte it cannot decode as U+FFFD.
    auto shown = [](const QByteArray& bytes) { return QString::fromUtf8(bytes); };
    const QString picked = shown(root + "/f\xf6lder/t\xe9st.wpp");
    ASSERT_TRUE(picked.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(NativePath(ResolveShownPath(picked)), root + "/f\xf6lder/t\xe9st.wpp");

    // Relative to the current folder as well.
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(NativePath(ResolveShownPath(shown("f\xf6lder/t\xe9st.wpp"))), QByteArray("f\xf6lder/t\xe9st.wpp"));
    QDir::setCurrent(current);

    // Two names that look alike stay unresolved; a name that exists as
    // shown, or has no U+FFFD, is left alone.
    const QString ambiguous = shown(root + "/sub/\xe4.wpp");
    EXPECT_EQ(ResolveShownPath(ambiguous), ambiguous);
    EXPECT_EQ(ResolveShownPath(dir.filePath("sub/x.wpp")), dir.filePath("sub/x.wpp"));
    const QString missing = shown(root + "/gone\xff/a.wpp");
    EXPECT_EQ(ResolveShownPath(missing), missing);

    // Qt cannot name what it removes here; the standard library can.
    dir.setAutoRemove(false);
    std::filesystem::remove_all(root.constData());
}
