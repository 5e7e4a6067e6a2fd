// The session bus is asked before anything waits on it: a bus that takes
// connections and never answers is found within the wait given, a missing
// one at once, a real bus daemon answers.

#include "output/SessionBus.h"
#include "support/StalledBus.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>

using namespace quorrel::output;
using quorrel::test::CStalledBus;

namespace {

constexpr std::chrono::milliseconds kWait{400};

struct ProbeCase {
    const char* label;
    // Made from the stalled bus's address ("STALLED"), or as it is.
    std::string address;
    BusAnswer expected;
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.label; }

class BusProbe : public ::testing::TestWithParam<ProbeCase> {
protected:
    QTemporaryDir m_dir;
};

std::string Replaced(std::string text, const std::string& what, const std::string& with)
{
    const std::size_t at = text.find(what);
    return at == std::string::npos ? text : text.replace(at, what.size(), with);
}

} // namespace

TEST_P(BusProbe, TellsASilentBusFromAMissingOneWithinTheWait)
{
    const ProbeCase& c = GetParam();
    const std::string folder = m_dir.path().toStdString();
    CStalledBus stalled(folder + "/bus socket");
    CStalledBus abstractStalled("quorrel-test-stalled-" + std::to_string(::getpid()), true);
    ASSERT_TRUE(stalled.Listening() && abstractStalled.Listening());
    std::string address = Replaced(c.address, "STALLED", folder + "/bus%20socket");
    address = Replaced(address, "ABSTRACT", "quorrel-test-stalled-" + std::to_string(::getpid()));
    address = Replaced(address, "MISSING", folder + "/none");

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ProbeBus(address, kWait), c.expected) << address;
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, kWait + std::chrono::milliseconds(500));
    if (c.expected == BusAnswer::Silent) {
        EXPECT_GE(took, kWait - std::chrono::milliseconds(20));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, BusProbe,
    ::testing::Values(ProbeCase{"StalledPath", "unix:path=STALLED", BusAnswer::Silent},
                      ProbeCase{"StalledAbstract", "unix:abstract=ABSTRACT,guid=0123", BusAnswer::Silent},
                      ProbeCase{"FirstUnixAlternative", "tcp:host=127.0.0.1,port=1;unix:path=STALLED", BusAnswer::Silent},
                      ProbeCase{"Missing", "unix:path=MISSING", BusAnswer::Unreachable},
                      ProbeCase{"TcpOnly", "tcp:host=127.0.0.1,port=1", BusAnswer::NotChecked},
                      ProbeCase{"Disabled", "disabled:", BusAnswer::NotChecked},
                      ProbeCase{"Empty", "", BusAnswer::NotChecked},
                      ProbeCase{"NoPath", "unix:guid=0123", BusAnswer::NotChecked}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.label); });

TEST(BusProbe, ARealBusDaemonAnswers)
{
    QTemporaryDir dir;
    const QString socket = dir.filePath("bus");
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + socket,
                                 "--print-address"});
    ASSERT_TRUE(daemon.waitForStarted(5000)) << "dbus-daemon (scripts/setup.sh installs it) did not start";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const std::string address = daemon.readLine().trimmed().toStdString();
    EXPECT_EQ(ProbeBus(address, std::chrono::milliseconds(3000)), BusAnswer::Answered) << address;
    daemon.terminate();
    daemon.waitForFinished(5000);
}

TEST(BusProbe, TheSessionBusAddressAndHowItIsShown)
{
    QTemporaryDir dir;
    const std::string runtime = dir.path().toStdString();
    EXPECT_EQ(SessionBusAddress("unix:path=/x", runtime), "unix:path=/x");
    EXPECT_EQ(SessionBusAddress("", runtime), "");   // no bus socket there
    {
        CStalledBus bus(runtime + "/bus");
        EXPECT_EQ(SessionBusAddress("", runtime), "unix:path=" + runtime + "/bus");
    }
    EXPECT_EQ(SessionBusAddress("", ""), "");
    EXPECT_EQ(SilentBusText("unix:path=/run/bus"), "the session bus (unix:path=/run/bus) did not answer within 3 s");
    EXPECT_EQ(ShownBusAddress("unix:path=/a\nb"), "unix:path=/a?b");
    EXPECT_EQ(ShownBusAddress(std::string(300, 'x')), std::string(100, 'x') + "...");
}
