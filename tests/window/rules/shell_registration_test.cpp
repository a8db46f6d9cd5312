// What karuneo.exe --register writes for Explorer and how it reads its
// arguments; the registry itself is tested under Wine (tests/app/win32).
#include "window/rules/shell_registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace karuneo {
namespace {

TEST(ShellRegistration, AnOptionCountsOnlyOnItsOwn) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(ChooseStartUpRequest({}), StartUpRequest::kWindow);
    EXPECT_EQ(ChooseStartUpRequest(Args{"--version"}), StartUpRequest::kVersion);
    for (const char* help : {"--help", "-h", "/?"}) {
        EXPECT_EQ(ChooseStartUpRequest(Args{help}), StartUpRequest::kHelp) << help;
    }
    EXPECT_EQ(ChooseStartUpRequest(Args{"--register"}), StartUpRequest::kRegister);
    EXPECT_EQ(ChooseStartUpRequest(Args{"--unregister"}), StartUpRequest::kUnregister);
    EXPECT_EQ(ChooseStartUpRequest(Args{"--register", R"(C:\D)"}), StartUpRequest::kMisused);
    // Folders come first from Explorer; an option behind one is a folder's name.
    EXPECT_EQ(ChooseStartUpRequest(Args{R"(C:\D)", "--register"}), StartUpRequest::kWindow);
    EXPECT_EQ(ChooseStartUpRequest(Args{"--Register"}), StartUpRequest::kWindow);
}

TEST(ShellRegistration, TheVerbRunsTheProgramOnEachFolderOfASelection) {
    const std::string exe = R"(C:\Users\山田 太郎\AppData\Local\Programs\karuneo\karuneo.exe)";
    const std::string verb = R"(Software\Classes\Directory\shell\karuneo)";
    const std::vector<RegistryValue> expected{
        {verb, "", "カルネオで展開"},
        {verb, "Icon", exe + ",0"},
        {verb, "MultiSelectModel", "Player"},
        {verb + R"(\command)", "",
         R"("C:\Users\山田 太郎\AppData\Local\Programs\karuneo\karuneo.exe" "%1")"},
    };
    EXPECT_EQ(VerbValues(exe), expected);
    // Removing a key that still holds a subkey fails, so the deepest goes first.
    EXPECT_EQ(VerbKeysDeepestFirst(), (std::vector<std::string>{verb + R"(\command)", verb}));
}

TEST(ShellRegistration, AShortcutIsOursOnlyWhenItStartsAKaruneoExe) {
    EXPECT_TRUE(IsKaruneoProgram(R"(C:\Programs\karuneo\karuneo.exe)"));
    EXPECT_TRUE(IsKaruneoProgram(R"(D:\old copy\KARUNEO.EXE)"));
    EXPECT_TRUE(IsKaruneoProgram("karuneo.exe"));
    EXPECT_FALSE(IsKaruneoProgram(R"(C:\tools\notkaruneo.exe)"));
    EXPECT_FALSE(IsKaruneoProgram(R"(C:\karuneo.exe\other.exe)"));
    EXPECT_FALSE(IsKaruneoProgram(R"(C:\tools\karuneo-cli.exe)"));
    EXPECT_FALSE(IsKaruneoProgram(""));
}

}  // namespace
}  // namespace karuneo
