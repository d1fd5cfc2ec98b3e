#include "Support.h"

#include "platform/ConsoleTool.h"
#include "platform/Environment.h"

#include <atomic>
#include <fstream>
#include <windows.h>

namespace support {

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string BaseTemp() {
    static const std::string base = [] {
        char path[MAX_PATH];
        const DWORD n = GetTempPathA(MAX_PATH, path);
        std::string folder(path, n);
        while (!folder.empty() && folder.back() == '\\')
            folder.pop_back();
        return folder;
    }();
    return base;
}

} // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    for (;;) {
        path_ = BaseTemp() + "\\arvenzo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            return;
    }
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

std::string TestFolder() {
    const std::string self = platform::ExecutablePath();
    return self.substr(0, self.find_last_of('\\'));
}

std::string StubPath() {
    return TestFolder() + "\\toolstub.exe";
}

std::string SystemTool(const std::string& name) {
    char folder[MAX_PATH];
    const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, n) + "\\" + name;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

bool CopyTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

std::string RunSystemTool(const std::string& name, const std::vector<std::string>& arguments) {
    return platform::RunConsoleTool(SystemTool(name), arguments, "",
                                    std::chrono::milliseconds{30000});
}

} // namespace support
