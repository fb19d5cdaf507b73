#include "test_main_window.h"

#include "folders.h"

#include <cstring>
#include <fstream>

namespace {

// A fresh folder in the temporary folder, ending in a backslash.
std::string MakeFolder(const std::string& name) {
    std::string folder = TempPath(name) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

TEST(Folders, PortableUnlessTheMarkerLiesBesideTheProgram) {
    std::string program = MakeFolder("program"), appData = MakeFolder("appdata");
    std::string exe = program + "Quirebook.exe", user = appData + "Orrick\\Quirebook\\";
    std::string longFolder = "C:\\" + std::string(590, 'a');
    ResolveFolders(exe.c_str(), appData.c_str());
    EXPECT_EQ(programFolder, program);
    EXPECT_EQ(dataFolder, program);
    std::ofstream(program + "DefSet.txt") << "";
    // The system gives the folder without a final backslash; the second time both levels exist.
    const std::pair<std::string, std::string> cases[] = {
        {appData.substr(0, appData.size() - 1), user},
        {appData, user},
        {"", program},
        {longFolder, program}};
    for (const auto& [given, expected] : cases) {
        ResolveFolders(exe.c_str(), given.c_str());
        EXPECT_EQ(programFolder, program);
        EXPECT_EQ(dataFolder, expected) << given;
    }
    EXPECT_EQ(GetFileAttributesA(user.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ResolveFolders(exe.c_str(), nullptr);
    EXPECT_EQ(dataFolder, program);
    ResolveFolders(("C:\\" + std::string(700, 'x') + "\\Quirebook.exe").c_str(), nullptr);
    EXPECT_STREQ(dataFolder, ""); // too long for a path: no folder at all
    DeleteFileA((program + "DefSet.txt").c_str());
    RemoveDirectoryA(user.c_str());
    RemoveDirectoryA((appData + "Orrick").c_str());

    char joined[11];
    EXPECT_TRUE(JoinPath(joined, sizeof joined, "C:\\A\\", "b.txt"));
    EXPECT_FALSE(JoinPath(joined, sizeof joined, "C:\\A\\", "bc.txt"));
    EXPECT_STREQ(joined, "");
}

} // namespace
