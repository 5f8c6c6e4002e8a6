#include "services/PlugIns.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {
// Runs the test inside a fresh folder holding copies of the named test plug-ins.
class PlugInsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Old = fs::current_path();
        m_Dir = fs::path(TestSandbox::Directory()) / "plugins";
        fs::create_directories(m_Dir);
        fs::current_path(m_Dir);
    }
    void TearDown() override { fs::current_path(m_Old); }

    void Copy(std::initializer_list<const char*> kinds) {
        for (const char* kind : kinds)
            fs::copy_file(fs::path(VARNEL_TEST_PLUGIN_DIR) / (CString(kind) + ".so"),
                          m_Dir / (CString(kind) + ".so"));
    }
    CString Exits() const {
        std::ifstream in(m_Dir / "exits.log");
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static const PLUGIN_REC* Find(const PlugIns& p, const CString& name) {
        for (const auto& r : p.List())
            if (name == r.name)
                return &r;
        return nullptr;
    }

    fs::path m_Old, m_Dir;
};
} // namespace

TEST_F(PlugInsTest, AFolderWithoutLibrariesLeavesTheListEmpty) {
    std::ofstream(m_Dir / "readme.txt") << "no plug-ins here";
    PlugIns p;
    EXPECT_EQ(40, p.m_Desc.size);
    EXPECT_EQ(4, p.m_HostValue);
    p.Load();
    EXPECT_TRUE(p.List().empty());
}

TEST_F(PlugInsTest, AcceptedPlugInsAreKeptAndOthersSkipped) {
    Copy({"accept", "reject", "nocall"});
    std::ofstream(m_Dir / "broken.so") << "not a library";
    PlugIns p;
    p.Load();
    ASSERT_EQ(1u, p.List().size());
    const PLUGIN_REC& r = p.List()[0];
    EXPECT_STREQ("accept", r.name);
    EXPECT_EQ(40u * 1000 + 4, r.value) << "Install saw the block size and the host integer";
    ASSERT_NE(nullptr, r.call);
    EXPECT_EQ(42, reinterpret_cast<int (*)(int)>(r.call)(21));
    EXPECT_NE(nullptr, r.exit);
    EXPECT_EQ("", Exits()) << "Exit runs only on Free";

    p.Free();
    EXPECT_TRUE(p.List().empty());
    EXPECT_EQ("accept\n", Exits());
}

TEST_F(PlugInsTest, PlugInWithoutExitIsAcceptedAndUnloadedQuietly) {
    Copy({"noexit", "accept"});
    PlugIns p;
    p.Load();
    ASSERT_EQ(2u, p.List().size());
    const PLUGIN_REC* r = Find(p, "noexit");
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(nullptr, r->exit);
    p.Free();
    EXPECT_EQ("accept\n", Exits());
}

TEST_F(PlugInsTest, AnUnterminatedNameIsCutTo31Characters) {
    Copy({"fillname"});
    PlugIns p;
    p.Load();
    ASSERT_EQ(1u, p.List().size());
    EXPECT_EQ(CString(31, 'N'), CString(p.List()[0].name));
    p.Free();
}

TEST_F(PlugInsTest, LoadingAgainStartsAFreshList) {
    Copy({"accept"});
    PlugIns p;
    p.Load();
    p.Free();
    p.Load();
    EXPECT_EQ(1u, p.List().size());
    p.Free();
    EXPECT_EQ("accept\naccept\n", Exits());
}
