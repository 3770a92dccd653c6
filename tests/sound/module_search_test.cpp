#include "sound/module_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "modplayer/test_files.h"

namespace {

using modtest::Candidate;
namespace fs = std::filesystem;

// A working directory and an executable's folder of their own; the test runs inside the first.
class ModuleSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::current_path();
        ASSERT_EQ(chdir(work_.path().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(home_.c_str()), 0); }
    std::vector<std::string> Dirs() const { return {"", exe_.path().string()}; }

    modtest::ScratchDir work_, exe_;
    fs::path home_;
};

TEST_F(ModuleSearchTest, BesideTheExecutableWhenTheWorkingDirectoryHasNone) {
    EXPECT_EQ(LocateModule(Dirs()), "");
    modtest::MakeCandidate(exe_.path() / kModuleName, Candidate::Good);
    EXPECT_EQ(LocateModule(Dirs()), (exe_.path() / kModuleName).string());
    // A folder of that name in the working directory is passed over.
    modtest::MakeCandidate(work_.path() / kModuleName, Candidate::Directory);
    EXPECT_EQ(LocateModule(Dirs()), (exe_.path() / kModuleName).string());
}

TEST_F(ModuleSearchTest, TheWorkingDirectoryWinsEvenWithABadFile) {
    modtest::MakeCandidate(exe_.path() / kModuleName, Candidate::Good);
    modtest::MakeCandidate(work_.path() / kModuleName, Candidate::Text);
    EXPECT_EQ(LocateModule(Dirs()), kModuleName);
}

TEST(ModuleSearch, DefaultPlacesAndTheirText) {
    const std::vector<std::string> dirs = ModuleDirs();
    ASSERT_GE(dirs.size(), 3u);
    EXPECT_EQ(dirs[0], "");
    EXPECT_EQ(dirs[1], fs::read_symlink("/proc/self/exe").parent_path().string());
    SetModuleDirs({"/nowhere"});
    EXPECT_EQ(ModuleDirs(), std::vector<std::string>{"/nowhere"});
    SetModuleDirs({});
    EXPECT_EQ(ModuleDirs(), dirs);
    EXPECT_EQ(ModuleSearchText({"", "/a"}, ""),
              "velkantoria.mod looked for in: ./ (the working directory), /a/");
    EXPECT_EQ(ModuleSearchText({"", "/a"}, "/a/velkantoria.mod"),
              "velkantoria.mod read from: /a/velkantoria.mod");
}

} // namespace
