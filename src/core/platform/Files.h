// The file system: what is there, folders and their files, moving and
// removing them, reading a file through memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

bool FileExists(const std::string& path);   // an ordinary file (or a link to one)
bool FolderExists(const std::string& path); // a folder (or a link to one)
bool PipeExists(const std::string& path);   // a named pipe (or a link to one)

// Creates one folder level, private to the user where the system allows it.
bool CreateFolder(const std::string& path);

// The names (not paths) of the ordinary files in `folder` whose names match
// the wildcard `pattern` ("*" and "?"; "*.*" matches every name). Hidden and
// system files, folders and links are left out. Sorted by name.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// Deletes one file; a link is removed itself, never what it points to.
bool RemoveFile(const std::string& path);

// Moves `from` to `to`, replacing a file already there.
bool MoveReplacing(const std::string& from, const std::string& to);

// Moves `from` to `to` only when nothing has that name yet; checked and
// moved in one step, so a file that appears meanwhile is never replaced.
enum class MoveResult { Moved, NameTaken, Failed };
MoveResult MoveKeeping(const std::string& from, const std::string& to);

// Creates `path` and every missing folder above it, with the permissions a
// new folder of the user's usually gets. Empty when the folder is there
// afterwards, else the system's reason ("Permission denied").
std::string CreateFolderPath(const std::string& path);

// Empty when a new file can be created and written in `folder` (tried with
// a hidden file that is removed at once), else the system's reason.
std::string WriteProblem(const std::string& folder);

// A file's bytes mapped into memory for reading, for as long as it lives;
// empty when the file cannot be opened or mapped, or holds nothing. The
// file must not shrink meanwhile: the program maps only files of its own
// scratch folder, whose writers have ended.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Tells the system that the bytes before `offset` are done with, so they
    // need not stay in memory; they must not be read again.
    void Release(std::size_t offset);

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The scratch folder `folder` (no final separator) if it is the user's
// alone: made when missing, and used when it is a real folder, not a link,
// owned by the user and closed to everyone else. Otherwise a new folder of
// the user's own beside it, named after it with a suffix of its own, so a
// folder another user made or planted there is never written into. Empty
// when neither can be had. On Windows TEMP is per user: `folder` itself,
// made when missing.
std::string OwnScratchFolder(const std::string& folder);

// Creates a new folder of the user's own inside the TEMP folder, named
// `namePrefix` and a random tail, for one run. Empty when that fails, with
// the system's reason in `problem`.
std::string CreatePrivateFolder(const std::string& namePrefix, std::string& problem);

// Removes the folder `path` when it is empty.
bool RemoveFolder(const std::string& path);

// Whether `path` leads to something, and else why not, with the system's
// reason ("File name too long").
struct PathState {
    enum class Kind { Reached, Missing, TooLong, Refused } kind = Kind::Reached;
    std::string reason;
};
PathState LookUpPath(const std::string& path);

// The names in `folder` that begin with `prefix`, hidden ones too, of the
// user's own: real folders (never a link) when `folders`, else files and
// links.
std::vector<std::string> OwnEntries(const std::string& folder, const std::string& prefix,
                                    bool folders);

// Removes the folder `path` with the files and links in it; a link is
// removed itself, never followed. A folder inside keeps it from going.
bool RemoveFolderWithFiles(const std::string& path);

} // namespace platform
