#include "test_main_window.h"

#include "file_commands.h"
#include "folders.h"
#include "shell_state.h"

#include <cstring>
#include <fstream>

namespace {

// A fresh folder under the temporary folder, ending in a backslash.
std::string MakeFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder =
        std::string(temp) + "qb-" + std::to_string(GetCurrentProcessId()) + "-" + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Folders, PortableUnlessTheMarkerLiesBesideTheProgram) {
    std::string program = MakeFolder("program");
    std::string appData = MakeFolder("appdata");
    ResolveFolders((program + "Quirebook.exe").c_str(), appData.c_str());
    EXPECT_EQ(programFolder, program);
    EXPECT_EQ(dataFolder, program);

    std::ofstream(program + "DefSet.txt") << "";
    // The application-data folder as the system gives it has no final backslash.
    std::string appDataBare = appData.substr(0, appData.size() - 1);
    ResolveFolders((program + "Quirebook.exe").c_str(), appDataBare.c_str());
    EXPECT_EQ(programFolder, program);
    EXPECT_EQ(dataFolder, appData + "Orrick\\Quirebook\\");
    EXPECT_TRUE(IsFolder(appData + "Orrick\\Quirebook"));
    // Again, with both levels there already, and with a final backslash given.
    ResolveFolders((program + "Quirebook.exe").c_str(), appData.c_str());
    EXPECT_EQ(dataFolder, appData + "Orrick\\Quirebook\\");

    // No per-user folder, or one too long for a path: portable.
    ResolveFolders((program + "Quirebook.exe").c_str(), "");
    EXPECT_EQ(dataFolder, program);
    ResolveFolders((program + "Quirebook.exe").c_str(), nullptr);
    EXPECT_EQ(dataFolder, program);
    ResolveFolders((program + "Quirebook.exe").c_str(), ("C:\\" + std::string(590, 'a')).c_str());
    EXPECT_EQ(dataFolder, program);

    RemoveDirectoryA((appData + "Orrick\\Quirebook").c_str());
    RemoveDirectoryA((appData + "Orrick").c_str());
    RemoveDirectoryA(appData.c_str());
    DeleteFileA((program + "DefSet.txt").c_str());
    RemoveDirectoryA(program.c_str());
}

TEST(Folders, AnExecutablePathTooLongIsRefused) {
    ResolveFolders(("C:\\" + std::string(700, 'x') + "\\Quirebook.exe").c_str(), nullptr);
    EXPECT_STREQ(programFolder, "");
    EXPECT_STREQ(dataFolder, "");
}

TEST(Folders, SetUpFoldersUsesTheRunningProgramsFolder) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    SetUpFolders();
    std::string expected(exe);
    expected.erase(expected.rfind('\\') + 1);
    EXPECT_EQ(programFolder, expected);
    EXPECT_EQ(dataFolder, expected); // the build tree has no marker file
}

TEST(Folders, TrimAndJoin) {
    char path[64] = "C:\\A\\B\\Quirebook.exe";
    TrimToFolder(path);
    EXPECT_STREQ(path, "C:\\A\\B\\");
    char bare[16] = "Quirebook.exe";
    TrimToFolder(bare);
    EXPECT_STREQ(bare, "Quirebook.exe");
    char empty[4] = "";
    TrimToFolder(empty);
    EXPECT_STREQ(empty, "");

    char joined[11];
    EXPECT_TRUE(JoinPath(joined, sizeof joined, "C:\\A\\", "b.txt"));
    EXPECT_STREQ(joined, "C:\\A\\b.txt");
    EXPECT_FALSE(JoinPath(joined, sizeof joined, "C:\\A\\", "bc.txt"));
    EXPECT_STREQ(joined, "");
}

TEST(Folders, SideFilesAreLookedForInTheDataFolderFirst) {
    std::string program = MakeFolder("side-program");
    std::string data = MakeFolder("side-data");
    std::strcpy(programFolder, program.c_str());
    std::strcpy(dataFolder, data.c_str());
    char path[FOLDER_SIZE];
    EXPECT_TRUE(ResolveSideFile("QuireAuto.txt", path, sizeof path));
    EXPECT_EQ(path, program + "QuireAuto.txt"); // neither exists
    std::ofstream(data + "QuireAuto.txt") << "Title=Dune\n";
    EXPECT_TRUE(ResolveSideFile("QuireAuto.txt", path, sizeof path));
    EXPECT_EQ(path, data + "QuireAuto.txt");
    DeleteFileA((data + "QuireAuto.txt").c_str());
    RemoveDirectoryA(data.c_str());
    RemoveDirectoryA(program.c_str());
}

TEST(WorkingCopy, EachInstanceTakesAWorkingCopyOfItsOwn) {
    SetUpFolders();
    ChooseWorkPath();
    std::string first = workPath;
    EXPECT_EQ(first.rfind(dataFolder, 0), size_t{0});
    // The same lock is held now, as a second running instance would find it.
    ChooseWorkPath();
    std::string second = workPath;
    EXPECT_NE(second, first);
    EXPECT_EQ(second.rfind(dataFolder, 0), size_t{0});
    EXPECT_EQ(second.substr(second.size() - 4), ".dat");
    ChooseWorkPath();
    EXPECT_NE(workPath, first);
    EXPECT_NE(workPath, second);
}

} // namespace
