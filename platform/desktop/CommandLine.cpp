#include "CommandLine.h"

namespace quorrel::desktop {

namespace {

EditorCommandLine Failed(const QString& error)
{
    EditorCommandLine result;
    result.action = EditorCommandLine::Action::Error;
    result.error = error;
    return result;
}

bool IsOption(const QString& argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

} // namespace

EditorCommandLine ParseEditorCommandLine(const QStringList& arguments)
{
    EditorCommandLine result;
    QStringList files;
    bool print = false;
    bool printTo = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (optionsEnded || !IsOption(arg)) {
            if (arg.isEmpty())
                return Failed(QStringLiteral("an empty file name was given"));
            files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            result.action = EditorCommandLine::Action::ShowHelp;
            return result;
        } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            result.action = EditorCommandLine::Action::ShowVersion;
            return result;
        } else if (arg == QLatin1String("-p") || arg == QLatin1String("--print")) {
            if (print || printTo)
                return Failed(QStringLiteral("only one print switch may be given"));
            print = true;
        } else if (arg == QLatin1String("--print-to") || arg.startsWith(QLatin1String("--print-to="))) {
            if (print || printTo)
                return Failed(QStringLiteral("only one print switch may be given"));
            printTo = true;
            if (arg.size() > 10) {
                result.printer = arg.mid(11);
            } else {
                if (i + 1 >= arguments.size())
                    return Failed(QStringLiteral("--print-to needs a printer name"));
                result.printer = arguments.at(++i);
            }
            if (result.printer.isEmpty())
                return Failed(QStringLiteral("--print-to needs a printer name"));
        } else {
            return Failed(QStringLiteral("unknown option %1").arg(arg));
        }
    }

    if (print || printTo) {
        if (files.isEmpty())
            return Failed(QStringLiteral("the print switches need the document to print"));
        if (files.size() > 1)
            return Failed(QStringLiteral("only one document can be printed at a time"));
        result.action = print ? EditorCommandLine::Action::Print : EditorCommandLine::Action::PrintTo;
    } else {
        result.action = files.isEmpty() ? EditorCommandLine::Action::NewDocument : EditorCommandLine::Action::Open;
    }
    result.files = files;
    return result;
}

QString EditorUsage()
{
    return QStringLiteral(
        "Usage: quorrel [OPTION] [FILE.wpp...]\n"
        "Quorrel synthesises seamless, tileable wallpaper images.\n"
        "\n"
        "  (no argument)              start with a new document\n"
        "  FILE.wpp...                open the documents; when Quorrel is already\n"
        "                             running, they open in the running editor\n"
        "  -p, --print FILE.wpp       print the document on the default printer,\n"
        "                             then quit\n"
        "  --print-to PRINTER FILE.wpp\n"
        "                             print the document on the named printer,\n"
        "                             then quit\n"
        "  -h, --help                 show this help and quit\n"
        "  -v, --version              show the version and quit\n"
        "  --                         every later argument is a file name\n"
        "\n"
        "A document that cannot be opened or printed ends Quorrel after its message.\n");
}

QString EditorVersion()
{
    return QStringLiteral("Quorrel 1.0\n");
}

} // namespace quorrel::desktop
