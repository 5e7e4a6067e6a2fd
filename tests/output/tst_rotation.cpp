// The desktop rotation's pure parts (interval, slide-show XML, units, state
// file) and its undoing with stand-in helpers: a failed start leaves nothing
// behind, and a hostile state file never makes off delete or set anything
// outside the rotation's own folders and keys.

#include "support/FakeProcessRunner.h"

#include "output/PlasmaWallpaperSetter.h"
#include "output/rotation/DesktopRotation.h"
#include "output/rotation/PlasmaRotation.h"
#include "output/rotation/RotationInterval.h"
#include "output/rotation/RotationState.h"
#include "output/rotation/SlideShowXml.h"
#include "output/rotation/SystemdUnits.h"
#include "output/rotation/XfceRotation.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace quorrel::output;
using namespace quorrel::output::rotation;

namespace {

struct IntervalCase {
    const char* text;
    int seconds;   // 0: refused
};

class IntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalTest, ParsesOrRefusesInOneLine)
{
    QString error;
    const auto seconds = ParseInterval(QString::fromLatin1(GetParam().text), error);
    if (GetParam().seconds == 0) {
        EXPECT_FALSE(seconds);
        EXPECT_TRUE(error.contains(QLatin1String(GetParam().text)));
        EXPECT_FALSE(error.contains(u'\n'));
        return;
    }
    ASSERT_TRUE(seconds) << error.toStdString();
    EXPECT_EQ(*seconds, GetParam().seconds);
    // The text written back reads as the same interval.
    EXPECT_EQ(ParseInterval(FormatInterval(*seconds), error), seconds);
}

INSTANTIATE_TEST_SUITE_P(Rotation, IntervalTest,
                         ::testing::Values(IntervalCase{"30m", 1800}, IntervalCase{"2h", 7200},
                                           IntervalCase{"1d", 86400}, IntervalCase{"1h30m", 5400},
                                           IntervalCase{"90s", 90}, IntervalCase{" 2H ", 7200},
                                           IntervalCase{"30d", 2592000}, IntervalCase{"1d2h3m4s", 93784},
                                           IntervalCase{"1s", 1}, IntervalCase{"", 0}, IntervalCase{"30", 0},
                                           IntervalCase{"m", 0}, IntervalCase{"0s", 0}, IntervalCase{"31d", 0},
                                           IntervalCase{"30d1s", 0}, IntervalCase{"1m1h", 0},
                                           IntervalCase{"1h1h", 0}, IntervalCase{"-5m", 0},
                                           IntervalCase{"1.5h", 0}, IntervalCase{"99999999999999999999s", 0},
                                           IntervalCase{"30x", 0}, IntervalCase{"5 m", 0}));

// The XML read back: images with their durations, transitions from one to the next.
struct CParsedShow {
    QStringList statics;
    QList<double> staticDurations;
    QList<QPair<QString, QString>> transitions;
    double total = 0;
    int startYear = 0;
};

CParsedShow ParseShow(const QString& xml)
{
    CParsedShow show;
    QXmlStreamReader reader(xml);
    QString parent, from;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QString name = reader.name().toString();
        if (name == u"static" || name == u"transition" || name == u"starttime") {
            parent = name;
        } else if (name == u"year") {
            show.startYear = reader.readElementText().toInt();
        } else if (name == u"duration") {
            const double seconds = reader.readElementText().toDouble();
            show.total += seconds;
            if (parent == u"static")
                show.staticDurations << seconds;
        } else if (name == u"file") {
            show.statics << reader.readElementText();
        } else if (name == u"from") {
            from = reader.readElementText();
        } else if (name == u"to") {
            show.transitions.append({from, reader.readElementText()});
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return show;
}

TEST(SlideShowXml, EveryImageForTheIntervalThenAFadeToTheNextAndBackToTheFirst)
{
    // Names XML would misread unescaped.
    const QStringList images{QStringLiteral("/h/a&b.png"), QStringLiteral("/h/<c>.png"), QStringLiteral("/h/d'\".png")};
    const QDateTime start(QDate(2031, 4, 5), QTime(6, 7, 8));
    const CParsedShow show = ParseShow(SlideShowXml(images, 1800, start));
    EXPECT_EQ(show.startYear, 2031);
    EXPECT_EQ(show.statics, images);
    ASSERT_EQ(show.transitions.size(), 3);
    EXPECT_EQ(show.transitions[0], qMakePair(images[0], images[1]));
    EXPECT_EQ(show.transitions[2], qMakePair(images[2], images[0]));
    EXPECT_DOUBLE_EQ(show.total, 3 * 1800.0);
    for (const double seconds : show.staticDurations)
        EXPECT_DOUBLE_EQ(seconds, 1795.0);

    // A short interval fades for a tenth of it; one image never fades to itself.
    EXPECT_DOUBLE_EQ(SlideShowTiming(20).fadeSeconds, 2.0);
    const CParsedShow single = ParseShow(SlideShowXml({QStringLiteral("/h/only.png")}, 60, start));
    EXPECT_TRUE(single.transitions.isEmpty());
    EXPECT_DOUBLE_EQ(single.total, 60.0);
}

struct WordCase {
    const char* word;
    const char* expected;   // nullptr: refused
    bool program = false;   // the program's name (first word) rather than an argument
};

class UnitWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(UnitWordTest, QuotedSoSystemdExpandsNothing)
{
    const QString text = QString::fromUtf8(GetParam().word);
    const auto word = GetParam().program ? UnitProgram(text) : UnitWord(text);
    if (!GetParam().expected) {
        EXPECT_FALSE(word);
        return;
    }
    ASSERT_TRUE(word);
    EXPECT_EQ(word->toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rotation, UnitWordTest,
    ::testing::Values(WordCase{"/usr/bin/quorrel-render", "/usr/bin/quorrel-render"},
                      WordCase{"--fill", "--fill"}, WordCase{"/home/a b/x.wpp", "\"/home/a b/x.wpp\""},
                      WordCase{"100%", "\"100%%\""}, WordCase{"$HOME", "\"$$HOME\""},
                      WordCase{"a\"b\\c", "\"a\\\"b\\\\c\""}, WordCase{"it's", "\"it's\""},
                      WordCase{"*", "\"*\""}, WordCase{"", "\"\""}, WordCase{"a\nExecStartPre=/bin/rm", nullptr},
                      WordCase{"tab\there", nullptr},
                      // A program's name: specifiers expanded (% doubled), variables not ($ single), and
                      // no quote or backslash taken at all.
                      WordCase{"/usr/bin/quorrel-render", "/usr/bin/quorrel-render", true},
                      WordCase{"/opt/price$5/q", "/opt/price$5/q", true},
                      WordCase{"/opt/100%/q", "\"/opt/100%%/q\"", true},
                      WordCase{"/opt/a b/q", "\"/opt/a b/q\"", true},
                      WordCase{"/opt/\xc3\xa9/q", "\"/opt/\xc3\xa9/q\"", true},
                      WordCase{"/opt/it's/q", nullptr, true}, WordCase{"/opt/a\"b/q", nullptr, true},
                      WordCase{"/opt/a\\b/q", nullptr, true}, WordCase{"/opt/a\nb/q", nullptr, true}));

TEST(SystemdUnits, TimerAndServiceAndASwaybgUnitOnlyForWlroots)
{
    QString error;
    const auto units = UnitFiles(
        {{QStringLiteral("/opt/q r/quorrel-render"), QStringLiteral("--generate")}, 5400, {}, {}}, error);
    ASSERT_TRUE(units) << error.toStdString();
    ASSERT_EQ(units->size(), 2);
    EXPECT_EQ((*units)[0].name, kTimerUnit);
    EXPECT_TRUE((*units)[0].text.contains(QLatin1String("\nOnUnitActiveSec=5400s\n")));
    EXPECT_TRUE((*units)[0].text.contains(QLatin1String("\nWantedBy=timers.target\n")));
    EXPECT_TRUE((*units)[1].text.contains(QLatin1String("\nExecStart=\"/opt/q r/quorrel-render\" --generate\n")));

    const auto wlroots = UnitFiles({{QStringLiteral("/q")}, 60, QStringLiteral("/d/current.png"), {}}, error);
    ASSERT_TRUE(wlroots);
    ASSERT_EQ(wlroots->size(), 3);
    EXPECT_EQ((*wlroots)[2].name, kSwaybgUnit);
    EXPECT_TRUE((*wlroots)[2].text.contains(QLatin1String("swaybg -m tile -i /d/current.png -o \"*\"")));
    EXPECT_TRUE((*wlroots)[1].text.contains(QLatin1String("ExecStartPost=")));

    EXPECT_FALSE(UnitFiles({{QStringLiteral("quorrel-render")}, 60, {}, {}}, error));
    EXPECT_FALSE(UnitFiles({{QStringLiteral("/q"), QStringLiteral("a\rb")}, 60, {}, {}}, error));
    EXPECT_FALSE(error.contains(u'\r'));
    // systemd takes no quote or backslash in a program's name: refused with a reason.
    EXPECT_FALSE(UnitFiles({{QStringLiteral("/opt/it's/q")}, 60, {}, {}}, error));
    EXPECT_TRUE(error.contains(QLatin1String("plainer path"))) << error.toStdString();
    EXPECT_FALSE(UnitFiles({{QStringLiteral("/q")}, 60, {}, {{QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/a\nb")}}},
                           error));
    const auto environment = UnitFiles(
        {{QStringLiteral("/q")}, 60, {}, {{QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/home/a \"b\"/100%")}}},
        error);
    ASSERT_TRUE(environment) << error.toStdString();
    EXPECT_TRUE((*environment)[1].text.contains(QLatin1String("\nEnvironment=\"XDG_DATA_HOME=/home/a \\\"b\\\"/100%%\"\n")))
        << (*environment)[1].text.toStdString();
}



TEST(XfceRotation, TheLargestUnitThatDividesTheInterval)
{
    EXPECT_EQ(CXfceRotation::CycleTimer(7200), std::make_pair(2u, 2));
    EXPECT_EQ(CXfceRotation::CycleTimer(5400), std::make_pair(90u, 1));
    EXPECT_EQ(CXfceRotation::CycleTimer(45), std::make_pair(45u, 0));
    EXPECT_EQ(CXfceRotation::CycleTimer(86400), std::make_pair(24u, 2));
}

TEST(PlasmaRotation, PreviousWallpapersReadBackAndPutBackEscaped)
{
    const QByteArray printed = "junk\nquorrel-previous\t0\torg.kde.image\tfile:///a\"b.png\t3\n"
                               "quorrel-previous\t1\torg.kde.color\t\t\nquorrel-previous\tx\tbad\t\t\n";
    const auto previous = CPlasmaRotation::PreviousWallpapers(printed);
    ASSERT_EQ(previous.size(), 2);
    CRotationState state;
    state.previous = previous;
    state.previous.append({QStringLiteral("desktop 2"), QStringLiteral("evil\"); rm(\"x\tx\t1")});
    const QString script = CPlasmaRotation::RemoveScript(state);
    EXPECT_TRUE(script.contains(QLatin1String("all[0]; d.wallpaperPlugin = \"org.kde.image\";")));
    EXPECT_TRUE(script.contains(QLatin1String("d.writeConfig(\"Image\", \"file:///a\\\"b.png\");")));
    EXPECT_TRUE(script.contains(QLatin1String("d.wallpaperPlugin = \"org.kde.color\"; }")));
    EXPECT_FALSE(script.contains(QLatin1String("evil")));
    EXPECT_EQ(JsString(QStringLiteral("a\nb\\")), QStringLiteral("\"a\\u000ab\\\\\""));
}

TEST(RotationState, WrittenAndReadBackAndHostileFilesRefused)
{
    CRotationState state;
    state.method = EMethod::XfceCycle;
    state.desktop = EDesktop::Xfce;
    state.session = ESession::X11;
    state.desktopName = QStringLiteral("XFCE=odd\nname");
    state.intervalSeconds = 90;
    state.count = 3;
    state.source = QStringLiteral("/home/a b/%x.wpp");
    state.since = QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), Qt::UTC);
    state.files = {QStringLiteral("/d/one.png"), QStringLiteral("/d/t=wo.png")};
    state.previous = {{QStringLiteral("/backdrop/x=y"), QStringLiteral("set:a\tb\nc")}};
    QString error;
    const auto read = ReadState(WriteState(state), error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->method, state.method);
    EXPECT_EQ(read->desktop, state.desktop);
    EXPECT_EQ(read->session, state.session);
    EXPECT_EQ(read->desktopName, state.desktopName);
    EXPECT_EQ(read->intervalSeconds, 90);
    EXPECT_EQ(read->count, 3);
    EXPECT_EQ(read->source, state.source);
    EXPECT_EQ(read->since, state.since);
    EXPECT_EQ(read->files, state.files);
    EXPECT_EQ(read->previous, state.previous);

    for (const char* hostile : {"version=2\nmethod=xfce-cycle\ninterval=60\n", "version=1\nmethod=rm\ninterval=60\n",
                                "version=1\nmethod=xfce-cycle\ninterval=0\n",
                                "version=1\nmethod=xfce-cycle\ninterval=60\nrun=/bin/sh\n",
                                "version=1\ninterval=60\n", "version=1\nmethod=xfce-cycle\ninterval=60\nprevious=x\n",
                                "garbage"}) {
        EXPECT_FALSE(ReadState(hostile, error)) << hostile;
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
