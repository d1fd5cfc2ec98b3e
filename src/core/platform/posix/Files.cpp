#include "platform/Files.h"

#include "platform/Environment.h"
#include "platform/Processes.h"
#include "platform/common/Paths.h"
#include "platform/posix/Folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool StatMode(const std::string& path, mode_t kind) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

} // namespace

bool FileExists(const std::string& path) {
    return StatMode(path, S_IFREG);
}

bool FolderExists(const std::string& path) {
    return StatMode(path, S_IFDIR);
}

bool PipeExists(const std::string& path) {
    return StatMode(path, S_IFIFO);
}

bool CreateFolder(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    const posix::OpenFolder dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir)
        return names;
    // "*.*" is the Windows way of saying every name, dot or not.
    const std::string glob = pattern == "*.*" ? "*" : pattern;
    const std::filesystem::path base(folder);
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        if (fnmatch(glob.c_str(), name.c_str(), 0) != 0)
            continue;
        struct stat st {};
        if (lstat((base / name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

MappedFile::MappedFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        void* mapped =
            mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            // Read once from start to end.
            madvise(mapped, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
            data_ = static_cast<const unsigned char*>(mapped);
            size_ = static_cast<std::size_t>(st.st_size);
        }
    }
    close(fd);
}

void MappedFile::Release(std::size_t offset) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t whole = std::min(offset, size_) / page * page;
    if (data_ && whole > 0)
        madvise(const_cast<unsigned char*>(data_), whole, MADV_DONTNEED);
}

MappedFile::~MappedFile() {
    if (data_)
        munmap(const_cast<unsigned char*>(data_), size_);
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

} // namespace platform

namespace platform {

bool MoveReplacing(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

MoveResult MoveKeeping(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return MoveResult::Moved;
    if (errno == EEXIST)
        return MoveResult::NameTaken;
    // File systems without that kind of rename: a new link fails when the
    // name is taken, where a plain rename would replace.
    if (errno != EINVAL && errno != ENOSYS)
        return MoveResult::Failed;
    if (link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? MoveResult::NameTaken : MoveResult::Failed;
    unlink(from.c_str());
    return MoveResult::Moved;
}

std::string CreateFolderPath(const std::string& path) {
    if (FolderExists(path))
        return {};
    const std::size_t cut = path.find_last_of('/');
    if (cut != std::string::npos && cut > 0) {
        std::string problem = CreateFolderPath(path.substr(0, cut));
        if (!problem.empty())
            return problem;
    }
    if (mkdir(path.c_str(), 0777) != 0 && !(errno == EEXIST && FolderExists(path)))
        return std::strerror(errno);
    return {};
}

std::string WriteProblem(const std::string& folder) {
    std::string name = folder + "/.arvenzo-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return std::strerror(errno);
    // A full disk refuses the first byte, not the name.
    const bool written = write(fd, "x", 1) == 1;
    const int error = errno;
    close(fd);
    unlink(name.c_str());
    return written ? std::string{} : std::strerror(error);
}

namespace posix {

bool PrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

OpenFolder OpenFolderAt(const std::string& path, int flags) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
    if (fd < 0)
        return {};
    OpenFolder dir(fdopendir(fd));
    if (!dir)
        close(fd);
    return dir;
}

} // namespace posix

std::string OwnScratchFolder(const std::string& folder) {
    // Fails harmlessly when something is there already; what is there is
    // judged next.
    mkdir(folder.c_str(), 0700);
    if (posix::PrivateFolder(folder))
        return folder;
    // Marked as this run's, so that a later run can tell when it is left
    // over.
    std::string beside = folder + "-" + ProcessMark() + "-XXXXXX";
    if (!mkdtemp(beside.data()))
        return {};
    return beside;
}

std::string CreatePrivateFolder(const std::string& namePrefix, std::string& problem) {
    std::string pattern = (std::filesystem::path(TempFolder()) / (namePrefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        problem = std::strerror(errno);
        return {};
    }
    return pattern;
}

bool RemoveFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

PathState LookUpPath(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return {};
    const int error = errno;
    return common::Unreached(error == ENOENT, error == ENAMETOOLONG, std::strerror(error));
}

std::vector<std::string> OwnEntries(const std::string& folder, const std::string& prefix,
                                    bool folders) {
    std::vector<std::string> names;
    const posix::OpenFolder dir = posix::OpenFolderAt(folder, 0);
    if (!dir)
        return names;
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (name.compare(0, prefix.size(), prefix) != 0 || name == "." || name == ".." ||
            fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid())
            continue;
        if (S_ISDIR(st.st_mode) == folders)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveFolderWithFiles(const std::string& path) {
    // Opened without following a link, and emptied through that handle, so
    // a folder swapped for a link meanwhile is not what gets emptied.
    {
        const posix::OpenFolder dir = posix::OpenFolderAt(path, O_NOFOLLOW);
        if (!dir)
            return false;
        while (const dirent* entry = readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                unlinkat(dirfd(dir.get()), name.c_str(), 0); // a folder inside refuses
        }
    }
    return rmdir(path.c_str()) == 0;
}

} // namespace platform
