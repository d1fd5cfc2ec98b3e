#include "platform/Files.h"

#include "platform/Environment.h"
#include "platform/common/Paths.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Paths.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// The attributes of what `path` names, following a link to its target.
// INVALID_FILE_ATTRIBUTES when there is nothing there.
DWORD TargetAttributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return attributes;
    win32::Handle target(CreateFileA(path.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!target || !GetFileInformationByHandle(target.Get(), &info))
        return INVALID_FILE_ATTRIBUTES;
    return info.dwFileAttributes;
}

} // namespace

namespace win32 {

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':')
        return folder + name;
    return folder + "\\" + name;
}

} // namespace win32

bool FileExists(const std::string& path) {
    const DWORD attributes = TargetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = TargetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows' named pipes live in a namespace of their own, never in a folder.
bool PipeExists(const std::string&) {
    return false;
}

bool CreateFolder(const std::string& path) {
    // Inside the user's profile the inherited permissions are already the
    // user's own.
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    win32::FindHandle find(FindFirstFileA(win32::InFolder(folder, pattern).c_str(), &entry));
    if (!find.Valid())
        return names;
    constexpr DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    do {
        if (!(entry.dwFileAttributes & skipped))
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

} // namespace platform

namespace platform {

bool MoveReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

MoveResult MoveKeeping(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), 0))
        return MoveResult::Moved;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? MoveResult::NameTaken
                                                                       : MoveResult::Failed;
}

std::string CreateFolderPath(const std::string& path) {
    if (FolderExists(path))
        return {};
    const std::size_t cut = path.find_last_of("\\/");
    // A drive root ("C:") is there or it is not; it cannot be made.
    if (cut != std::string::npos && cut > 0 && path[cut - 1] != ':') {
        std::string problem = CreateFolderPath(path.substr(0, cut));
        if (!problem.empty())
            return problem;
    }
    if (!CreateDirectoryA(path.c_str(), nullptr) && !FolderExists(path))
        return win32::SystemMessage(GetLastError());
    return {};
}

std::string WriteProblem(const std::string& folder) {
    const std::string name = folder + "\\.arvenzo-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64());
    win32::Handle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file)
        return win32::SystemMessage(GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), "x", 1, &written, nullptr) || written != 1)
        return win32::SystemMessage(GetLastError());
    return {};
}

MappedFile::MappedFile(const std::string& path) {
    win32::Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER length{};
    if (!file || !GetFileSizeEx(file.Get(), &length) || length.QuadPart <= 0 ||
        static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX)
        return;
    win32::Handle mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping)
        return;
    // The view keeps the mapping alive after both handles are closed.
    const void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    if (!view)
        return;
    data_ = static_cast<const unsigned char*>(view);
    size_ = static_cast<std::size_t>(length.QuadPart);
}

// Windows trims the pages of a view from memory by itself.
void MappedFile::Release(std::size_t) {}

MappedFile::~MappedFile() {
    if (data_)
        UnmapViewOfFile(data_);
}

std::string OwnScratchFolder(const std::string& folder) {
    // TEMP lies inside the user's profile, which only the user may enter.
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string CreatePrivateFolder(const std::string& namePrefix, std::string& problem) {
    std::string base = AbsolutePath(TempFolder());
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    // A name nobody else has: the prefix carries the process, a counter the
    // rest.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = base + namePrefix + std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(path.c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    problem = win32::SystemMessage(GetLastError());
    return {};
}

PathState LookUpPath(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return {};
    const DWORD error = GetLastError();
    return common::Unreached(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND,
                             error == ERROR_FILENAME_EXCED_RANGE, win32::SystemMessage(error));
}

// TEMP lies inside the user's profile: what is there is the user's own.
std::vector<std::string> OwnEntries(const std::string& folder, const std::string& prefix,
                                    bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    win32::FindHandle find(FindFirstFileA(win32::InFolder(folder, prefix + "*").c_str(), &entry));
    if (!find.Valid())
        return names;
    do {
        const std::string name = entry.cFileName;
        const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (name != "." && name != ".." && folder == folders)
            names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveFolderWithFiles(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
        return false;
    WIN32_FIND_DATAA entry{};
    {
        win32::FindHandle find(FindFirstFileA(win32::InFolder(path, "*").c_str(), &entry));
        if (find.Valid()) {
            do {
                const std::string inside = win32::InFolder(path, entry.cFileName);
                // A link to a folder goes itself; a real folder stays.
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA(inside.c_str());
                else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    RemoveDirectoryA(inside.c_str());
            } while (FindNextFileA(find.Get(), &entry));
        }
    }
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

bool RemoveFolder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

} // namespace platform
