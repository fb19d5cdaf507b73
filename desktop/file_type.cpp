#include "file_type.h"

#include "folders.h"

#include <cstdio>
#include <cstring>

namespace {

// Closes the key it holds when it goes.
struct RegKey {
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key) RegCloseKey(key);
    }
    HKEY key = nullptr;
};

} // namespace

void WriteRegString(HKEY root, const char* key, const char* name, const char* text) {
    RegKey opened;
    if (RegCreateKeyExA(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &opened.key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(opened.key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

void AssociateFileType(const char* folder) {
    // Both paths are quoted: an unquoted program path with spaces, such as one
    // in "C:\Program Files", would let Windows try "C:\Program.exe" first.
    char program[FOLDER_SIZE], command[FOLDER_SIZE + 32], icon[FOLDER_SIZE + 32];
    if (!JoinPath(program, sizeof program, folder, "Quirebook.exe") ||
        !JoinPath(icon, sizeof icon, program, ",2")) // the third icon group, 503
        return;
    std::snprintf(command, sizeof command, "\"%s\" \"%%1\"", program);
    WriteRegString(HKEY_CLASSES_ROOT, "Applications\\Quirebook.exe\\shell", nullptr, "&Open");
    WriteRegString(HKEY_LOCAL_MACHINE,
                   "Software\\Applications\\Quirebook.exe\\shell\\Open\\Command", nullptr, command);
    WriteRegString(HKEY_CLASSES_ROOT, "Applications\\Quirebook.exe\\shell\\Open\\Command", nullptr,
                   command);
    WriteRegString(HKEY_CLASSES_ROOT, ".ktl", nullptr, "Kestrel");
    WriteRegString(HKEY_CLASSES_ROOT, "Kestrel\\shell\\Open\\Command", nullptr, command);
    WriteRegString(HKEY_CURRENT_USER,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.ktl",
                   "Application", "Quirebook.exe");
    WriteRegString(HKEY_CLASSES_ROOT, "Kestrel\\DefaultIcon", nullptr, icon);
    WriteRegString(HKEY_CLASSES_ROOT, "Applications\\Quirebook.exe\\DefaultIcon", nullptr, icon);
}
