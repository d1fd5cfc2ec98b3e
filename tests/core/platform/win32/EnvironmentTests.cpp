#include "Check.h"
#include "Support.h"
#include "platform/Environment.h"

#include <string>
#include <utility>
#include <windows.h>

TEST(TempFolderIsTheVariableUnchanged) {
    char saved[32768];
    const DWORD savedLength = GetEnvironmentVariableA("TEMP", saved, sizeof saved);

    struct Case {
        const char* name;
        const char* value; // null: unset
        std::string expected;
    };
    const std::string longFolder = "C:\\" + std::string(400, 't');
    const Case cases[] = {
        {"plain", "C:\\Users\\Ann\\Temp", "C:\\Users\\Ann\\Temp"},
        {"trailing backslash", "C:\\Users\\Ann\\Temp\\", "C:\\Users\\Ann\\Temp\\"},
        {"blanks", "C:\\Documents and Settings\\Ann\\Temp",
         "C:\\Documents and Settings\\Ann\\Temp"},
        {"longer than MAX_PATH", longFolder.c_str(), longFolder},
        {"unset", nullptr, ""},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        SetEnvironmentVariableA("TEMP", c.value);
        CHECK_EQ(platform::TempFolder(), c.expected);
    }
    SetEnvironmentVariableA("TEMP", savedLength ? saved : nullptr);
}

TEST(WithSeparatorAddsOneBackslash) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\\"}, {"C:\\", "C:\\"}, {"C:\\out", "C:\\out\\"}, {"C:\\out\\", "C:\\out\\"}};
    for (const auto& [folder, expected] : cases) {
        ROW(folder.c_str());
        CHECK_EQ(platform::WithSeparator(folder), expected);
    }
}
