#include "platform/desktop/CommandLine.h"

#include <gtest/gtest.h>

using quorrel::desktop::EditorCommandLine;
using quorrel::desktop::EditorUsage;
using quorrel::desktop::ParseEditorCommandLine;
using Action = EditorCommandLine::Action;

TEST(CommandLine, NoArgumentIsANewDocument)
{
    const auto cmd = ParseEditorCommandLine({});
    EXPECT_EQ(cmd.action, Action::NewDocument);
    EXPECT_TRUE(cmd.files.isEmpty());
}

TEST(CommandLine, FileNamesAreOpenedInOrder)
{
    auto cmd = ParseEditorCommandLine({"sky.wpp"});
    EXPECT_EQ(cmd.action, Action::Open);
    EXPECT_EQ(cmd.files, QStringList{"sky.wpp"});

    // A desktop passing several files (%F) opens them all.
    cmd = ParseEditorCommandLine({"a.wpp", "/tmp/b c.wpp"});
    EXPECT_EQ(cmd.action, Action::Open);
    EXPECT_EQ(cmd.files, (QStringList{"a.wpp", "/tmp/b c.wpp"}));

    // A lone "-" is a file name, and "--" ends the options.
    cmd = ParseEditorCommandLine({"--", "-p", "--help"});
    EXPECT_EQ(cmd.action, Action::Open);
    EXPECT_EQ(cmd.files, (QStringList{"-p", "--help"}));
    EXPECT_EQ(ParseEditorCommandLine({"-"}).files, QStringList{"-"});
}

TEST(CommandLine, PrintSwitches)
{
    for (const char* sw : {"-p", "--print"}) {
        auto cmd = ParseEditorCommandLine({sw, "sky.wpp"});
        EXPECT_EQ(cmd.action, Action::Print) << sw;
        EXPECT_EQ(cmd.files, QStringList{"sky.wpp"});
        EXPECT_TRUE(cmd.printer.isEmpty());
        // The file may come first as well.
        EXPECT_EQ(ParseEditorCommandLine({"sky.wpp", sw}).action, Action::Print);
    }

    auto cmd = ParseEditorCommandLine({"--print-to", "Office Laser", "sky.wpp"});
    EXPECT_EQ(cmd.action, Action::PrintTo);
    EXPECT_EQ(cmd.printer, "Office Laser");
    EXPECT_EQ(cmd.files, QStringList{"sky.wpp"});

    cmd = ParseEditorCommandLine({"sky.wpp", "--print-to=lp0"});
    EXPECT_EQ(cmd.action, Action::PrintTo);
    EXPECT_EQ(cmd.printer, "lp0");
}

TEST(CommandLine, MistakesAreReportedNotGuessed)
{
    const QList<QStringList> wrong = {
        {"--print"},                                 // nothing to print
        {"--print-to", "lp0"},                       // printer but no file
        {"sky.wpp", "--print-to"},                   // no printer name
        {"sky.wpp", "--print-to="},                  // empty printer name
        {"-p", "a.wpp", "b.wpp"},                    // one document at a time
        {"-p", "--print-to", "lp0", "a.wpp"},        // two print switches
        {"--frobnicate", "a.wpp"},                   // unknown option
        {""},                                        // empty file name
    };
    for (const QStringList& args : wrong) {
        const auto cmd = ParseEditorCommandLine(args);
        EXPECT_EQ(cmd.action, Action::Error) << args.join(' ').toStdString();
        EXPECT_FALSE(cmd.error.isEmpty());
    }
    EXPECT_TRUE(ParseEditorCommandLine({"--frobnicate"}).error.contains("--frobnicate"));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(ParseEditorCommandLine({"-h"}).action, Action::ShowHelp);
    EXPECT_EQ(ParseEditorCommandLine({"a.wpp", "--help", "--bogus"}).action, Action::ShowHelp);
    EXPECT_EQ(ParseEditorCommandLine({"--version"}).action, Action::ShowVersion);

    // Every form is documented.
    const QString usage = EditorUsage();
    for (const char* form : {"FILE.wpp", "--print", "-p,", "--print-to PRINTER", "--help", "--version", "--"})
        EXPECT_TRUE(usage.contains(form)) << form;
}
