#include <gtest/gtest.h>

#include "SimRig.h"
#include "device/FeatureCommands.h"
#include "device/OutputCommands.h"
#include "platform/SimulatedKeyboardControl.h"

using namespace keystead::device;
using devtest::SimRig;

TEST(SimulatorControl, CommandsPlugUnplugAndBreak)
{
    SimRig rig;
    auto keyboard = rig.AddTypicalKeyboard(100);
    platform::SimulatorCommands commands(keyboard);
    struct Step {
        const char* command;
        const char* reply;
    };
    const Step steps[] = {
        {"plug 0", "ok\n"}, {"plug 1\r\n", "ok\n"}, {"unplug 1", "ok\n"}, {"fail-writes 2", "ok\n"},
        {"fail-gets 1", "ok\n"}, {"firmware 1a7", "ok\n"}, {"plug", "error: expected a number\n"},
        {"plug -1", "error: expected a number\n"}, {"jump 3", "error: unknown command\n"},
        {"firmware 10000", "error: expected a number\n"},
    };
    for (const Step& s : steps)
        EXPECT_EQ(commands.Run(s.command), s.reply) << s.command;
    EXPECT_TRUE(keyboard->IsAttached(0));
    EXPECT_FALSE(keyboard->IsAttached(1));

    rig.Open(100);
    EXPECT_FALSE(rig.link->WriteReport(BuildLightingModeOutput(2))) << "both attempts fail";
    EXPECT_TRUE(rig.link->WriteReport(BuildLightingModeOutput(2)));
    int version = -1;
    EXPECT_TRUE(rig.link->ReadFirmwareVersion(version));
    EXPECT_EQ(version, -1) << "the get fails";
    EXPECT_TRUE(rig.link->ReadFirmwareVersion(version));
    EXPECT_EQ(version, 0x1A7);

    const std::string state = commands.Run("state");
    EXPECT_NE(state.find("connections 0\n"), std::string::npos);
    EXPECT_NE(state.find("lighting mode 2 "), std::string::npos);
    EXPECT_EQ(commands.Run("unplug-after 0"), "ok\n");
    EXPECT_FALSE(rig.link->WriteReport(BuildLightingModeOutput(3)));
    EXPECT_FALSE(keyboard->IsAttached(0));
}

TEST(SimulatorControl, SocketRoundTrip)
{
    SimRig rig;
    auto keyboard = rig.AddTypicalKeyboard();
    const std::string path = testing::TempDir() + "/simkbd-" + std::to_string(getpid()) + ".sock";
    platform::SimulatedKeyboardControl control(keyboard);
    ASSERT_TRUE(control.Start(path));
    platform::SimulatedKeyboardControl second(keyboard);
    EXPECT_FALSE(second.Start(path)) << "a live socket is never taken over";
    std::string reply;
    ASSERT_TRUE(platform::SendSimulatorCommand(path, "plug 2", reply));
    EXPECT_EQ(reply, "ok\n");
    EXPECT_TRUE(keyboard->IsAttached(2));
    ASSERT_TRUE(platform::SendSimulatorCommand(path, std::string(5000, 'x'), reply));
    EXPECT_EQ(reply.rfind("error: ", 0), 0u) << "a long line is cut and refused";
    control.Stop();
    EXPECT_FALSE(platform::SendSimulatorCommand(path, "state", reply));
}
