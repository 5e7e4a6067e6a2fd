#include "platform/desktop/HelpTopics.h"
#include "platform/desktop/ToolbarCommands.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quorrel::desktop;

namespace {

// Every command id of the menus, toolbar and keys.
const int kAllCommands[] = {57600, 57601, 57602, 57603, 57604, 500, 501, 57607, 57609, 57606, 57665,
                            57643, 57644, 57634, 511, 923, 510, 512, 513, 59392, 59393, 520, 521, 522,
                            524, 926, 57648, 57650, 57651, 57649, 57667, 57664, 57670, 57669, 57635, 57637,
                            930, 931, 932, 940};

// Every control id of the property pages and the coefficients dialogs.
std::vector<int> AllControlIds()
{
    std::vector<int> ids = {1, 2, 2011, 2012, 2021, 2022, 3206, 3207, 3530, 4310, 4311, 6001, 6002};
    for (int c = 0; c < 6; ++c) {
        for (int base : {3200, 3300, 3400, 2100, 2110, 2200, 2210, 3500, 3510, 3520, 4000, 5000, 5010, 5100, 5110})
            ids.push_back(base + c);
        for (int s = 0; s < 6; ++s)
            ids.push_back(4100 + c + 10 * s);
    }
    for (int s = 0; s < 6; ++s)
        ids.push_back(4106 + 10 * s);
    ids.push_back(3406);
    ids.push_back(3407);
    for (int i = 0; i < 5; ++i) {
        ids.push_back(3540 + i);
        ids.push_back(3550 + i);
    }
    return ids;
}

const char* const kComponents[] = {"Red", "Green", "Blue", "Hue", "Saturation", "Luminosity"};

} // namespace

TEST(HelpTopics, EveryToolbarButtonAndCommandHasAWhatsThisText)
{
    for (const int id : kToolbarCommands)
        EXPECT_GT(WhatsThisForCommand(id).size(), 20) << id;
    for (const int id : kAllCommands)
        EXPECT_FALSE(WhatsThisForCommand(id).isEmpty()) << id;
    EXPECT_TRUE(WhatsThisForCommand(0).isEmpty());
    EXPECT_TRUE(WhatsThisForCommand(12345).isEmpty());
    // The text names the command's keys where it has some.
    EXPECT_TRUE(WhatsThisForCommand(ID_RANDOM_GENERATION).contains("F5"));
    EXPECT_TRUE(WhatsThisForCommand(ID_CONTEXT_HELP).contains("Shift+F1"));
}

TEST(HelpTopics, EveryDialogControlHasAWhatsThisText)
{
    for (const int id : AllControlIds())
        EXPECT_FALSE(WhatsThisForControl(id).isEmpty()) << id;
    for (const int id : {0, 3, 2013, 2106, 2116, 3208, 3408, 3545, 4006, 4160, 4312, 5006, 6003, 9999})
        EXPECT_TRUE(WhatsThisForControl(id).isEmpty()) << id;
}

TEST(HelpTopics, PerComponentTextsNameTheirComponent)
{
    for (int c = 0; c < 6; ++c) {
        for (const int base : {3200, 3300, 2100, 2110, 2200, 2210, 3520, 4000, 5000, 5110})
            EXPECT_TRUE(WhatsThisForControl(base + c).contains(kComponents[c])) << base + c;
    }
    EXPECT_TRUE(WhatsThisForControl(5010).contains("Cos/Sin"));
    EXPECT_TRUE(WhatsThisForControl(5100).contains("Sin/Cos"));
    EXPECT_TRUE(WhatsThisForControl(3544).contains("amplitude range"));
    EXPECT_TRUE(WhatsThisForControl(3550).contains("HSL"));
    EXPECT_TRUE(WhatsThisForControl(4156).contains("quarter turn"));
}

TEST(HelpTopics, WindowsAndDialogsHaveTheirPages)
{
    EXPECT_EQ(TopicForName("CPropsGeneral"), "properties.html#general");
    EXPECT_EQ(TopicForName("CPropsCorrelations"), "properties.html#correlations");
    EXPECT_EQ(TopicForName("CCoeffsDlg"), "coefficients.html#table");
    EXPECT_EQ(TopicForName("CMainFrame"), "commands.html");
    EXPECT_EQ(TopicForName("CPresetGallery"), "presets.html");
    EXPECT_TRUE(TopicForName("QWidget").isEmpty());
    EXPECT_EQ(ContentsTopic(), "index.html");
}
