// The registry keys the model uses, kept in QSettings: path mapping, typed
// values, and the object-list value of the stored defaults.

#include "platform/SettingsRegistry.h"

#include "model/DataObj.h"
#include "model/RegistryKey.h"
#include "platform/SettingsLocation.h"

#include <QSettings>
#include <QStandardPaths>

#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace quorrel;
using model::CRegistryKey;
using model::RegistryRoot;

namespace {

class SettingsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::InstallSettingsRegistry();
        quorrel::platform::OpenSettings("Vantorel", "Quorrel")->clear();
    }
    void TearDown() override { quorrel::platform::OpenSettings("Vantorel", "Quorrel")->clear(); }
};

TEST_F(SettingsRegistryTest, KeyPathsMapToOrganisationApplicationAndGroup)
{
    const auto where = platform::CSettingsRegistry::Map("Software\\Vantorel\\Quorrel\\DefVals");
    EXPECT_EQ(where.organisation, "Vantorel");
    EXPECT_EQ(where.application, "Quorrel");
    EXPECT_EQ(where.group, "DefVals");
    const auto recent = platform::CSettingsRegistry::Map("Software\\Local AppWizard-Generated Applications\\Quorrel");
    EXPECT_EQ(recent.organisation, "Local AppWizard-Generated Applications");
    EXPECT_EQ(recent.group, "");
    EXPECT_TRUE(platform::CSettingsRegistry::Map("Control Panel\\Desktop").organisation.isEmpty());
}

TEST_F(SettingsRegistryTest, StoredDefaultsRoundTripAsA672ByteBinaryValue)
{
    auto params = std::make_unique<model::CTileParams>();
    params->m_nWidth = 300;
    params->m_nSymmetry[2][4] = -1;
    params->m_dCorrel[1][3] = 0.25;
    params->m_nCosCos[0][0][0] = 1234;   // coefficients never go into the value

    CRegistryKey key;
    EXPECT_FALSE(key.Open(RegistryRoot::CurrentUser, "Software\\Vantorel\\Quorrel\\DefVals"));
    ASSERT_TRUE(key.Create(RegistryRoot::CurrentUser, "Software\\Vantorel\\Quorrel\\DefVals"));
    model::CObList list;
    list.push_back(std::make_unique<model::CDataObj>(*params));
    ASSERT_TRUE(key.WriteObList("DefVals", list));
    EXPECT_EQ(key.m_dwType, model::kRegBinary);
    EXPECT_EQ(key.m_dwSize, 672u);
    key.Close();

    const QByteArray raw = quorrel::platform::OpenSettings("Vantorel", "Quorrel")->value("DefVals/DefVals").toByteArray();
    ASSERT_EQ(raw.size(), 672);
    EXPECT_EQ(raw.left(16), QByteArray("\x01\x00\xFF\xFF\x01\x00\x08\x00" "CDataObj", 16));

    CRegistryKey reader;
    ASSERT_TRUE(reader.Open(RegistryRoot::CurrentUser, "Software\\Vantorel\\Quorrel\\DefVals"));
    model::CObList loaded;
    ASSERT_TRUE(reader.ReadObList("DefVals", loaded));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->m_params.m_nWidth, 300u);
    EXPECT_EQ(loaded[0]->m_params.m_nSymmetry[2][4], -1);
    EXPECT_EQ(loaded[0]->m_params.m_dCorrel[1][3], 0.25);
    EXPECT_EQ(loaded[0]->m_params.m_nCosCos[0][0][0], 0);
}

TEST_F(SettingsRegistryTest, UnreadableValuesLoadNothingAndLargeOnesFail)
{
    CRegistryKey key;
    ASSERT_TRUE(key.Create(RegistryRoot::CurrentUser, "Software\\Vantorel\\Quorrel\\DefVals"));
    model::CObList list;
    EXPECT_FALSE(key.ReadObList("DefVals", list));   // missing value
    EXPECT_EQ(key.m_lStatus, model::kRegFileNotFound);

    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->setValue("DefVals/DefVals", QByteArray("\x01\x00\xFF\xFF\x02\x00", 6));
    EXPECT_TRUE(key.ReadObList("DefVals", list));    // read fine, does not load
    EXPECT_TRUE(list.empty());

    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->setValue("DefVals/DefVals", QByteArray(5000, '\0'));
    EXPECT_FALSE(key.ReadObList("DefVals", list));   // beyond the 4096-byte buffer

    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->setValue("DefVals/DefVals", QString("text"));
    EXPECT_TRUE(key.ReadObList("DefVals", list));    // another type: read, nothing loaded
    EXPECT_EQ(key.m_dwType, model::kRegSz);
    EXPECT_TRUE(list.empty());

    EXPECT_TRUE(key.WriteString("Name", "abc"));
    EXPECT_EQ(key.m_dwSize, 4u);
    EXPECT_EQ(quorrel::platform::OpenSettings("Vantorel", "Quorrel")->value("DefVals/Name").toString(), "abc");
}

} // namespace

TEST(SettingsThatCannotBeStored, GiveOneWarningWhenTheProcessEnds)
{
    // The configuration folder is a file: nothing can be stored. The values
    // fail as they are set, and one line says so at the end, not one a value.
    char folder[] = "/tmp/quorrel-settings-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string blocked = std::string(folder) + "/config";
    { std::ofstream(blocked) << "a file where the folder should be"; }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(pipeFds[1], 2);
        // The settings folder follows XDG_CONFIG_HOME (not the test mode's).
        QStandardPaths::setTestModeEnabled(false);
        ::setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
        platform::InstallSettingsRegistry();
        platform::InstallSettingsRegistry();   // installed twice, still one line
        CRegistryKey key;
        bool anyStored = false;
        for (const char* name : {"First", "Second", "Third"}) {
            anyStored |= key.Create(RegistryRoot::CurrentUser, "Software\\Vantorel\\Quorrel\\Test") &&
                         key.WriteString(name, "value");
        }
        std::exit(anyStored ? 3 : 0);   // the warning comes from the exit handlers
    }
    ::close(pipeFds[1]);
    std::string err;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        err.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a value was reported stored";
    EXPECT_EQ(err, "quorrel: warning: the settings could not be stored in " + blocked +
                       "/quorrel/quorrel.conf (is its folder writable?); they are lost when the editor ends\n");
    std::filesystem::remove_all(folder);
}
