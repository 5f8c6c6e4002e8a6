#include "services/CSoundPlayer.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
// A fake player program on a private search path that logs its arguments, takes a while and ends
// with the given code.
class CSoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Bin = TestSandbox::Directory() + "/bin";
        std::filesystem::create_directories(m_Bin);
        m_Log = TestSandbox::Directory() + "/played.log";
        const char* path = std::getenv("PATH");
        m_SavedPath = path ? path : "";
        setenv("PATH", m_Bin.c_str(), 1);
        m_Sound = TestSandbox::Directory() + "/done.wav";
        std::ofstream(m_Sound) << "RIFF";
    }
    void TearDown() override { setenv("PATH", m_SavedPath.c_str(), 1); }
    void AddPlayer(const std::string& name, int exitCode) {
        const std::string file = m_Bin + "/" + name;
        std::ofstream(file) << "#!/bin/sh\necho \"" << name << " $*\" >>'" << m_Log
                            << "'\n/bin/sleep 0.3\necho end >>'" << m_Log << "'\nexit " << exitCode << "\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    std::string Log() const {
        std::ifstream in(m_Log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string m_Bin, m_Log, m_SavedPath, m_Sound;
};
} // namespace

TEST_F(CSoundPlayerTest, PlaysTheFileByNameAndWaitsForTheEnd) {
    AddPlayer("aplay", 0);
    EXPECT_EQ(m_Bin + "/aplay", CSoundPlayer::FindPlayer());
    EXPECT_EQ(0, CSoundPlayer::Play(m_Sound));
    EXPECT_EQ("aplay -q " + m_Sound + "\nend\n", Log());
}

TEST_F(CSoundPlayerTest, ThePipeWirePlayerComesFirst) {
    AddPlayer("aplay", 0);
    AddPlayer("pw-play", 0);
    EXPECT_EQ(0, CSoundPlayer::Play(m_Sound));
    EXPECT_EQ("pw-play " + m_Sound + "\nend\n", Log());
}

TEST_F(CSoundPlayerTest, MissingFileMissingPlayerOrFailingPlayerAreSilent) {
    EXPECT_EQ("", CSoundPlayer::FindPlayer());
    EXPECT_NE(0, CSoundPlayer::Play(m_Sound)) << "no player";
    AddPlayer("paplay", 1);
    EXPECT_NE(0, CSoundPlayer::Play(TestSandbox::Directory() + "/missing.wav"));
    EXPECT_EQ("", Log()) << "a missing file is not handed to the player";
    EXPECT_NE(0, CSoundPlayer::Play(m_Sound)) << "the player failed";
    EXPECT_EQ("paplay " + m_Sound + "\nend\n", Log());
}
