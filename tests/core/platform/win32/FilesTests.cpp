#include "Check.h"
#include "Support.h"
#include "platform/Files.h"
#include "platform/WorkingFile.h"

#include <windows.h>

using Names = std::vector<std::string>;

namespace {

// Sets attributes the way a user would, with the system's attrib tool, and
// says whether they took.
bool Attrib(const std::string& flag, const std::string& path, DWORD attribute) {
    support::RunSystemTool("attrib.exe", {flag, path});
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute);
}

} // namespace

TEST(ListingSkipsHiddenSystemFilesAndFolders) {
    support::ScratchFolder folder;
    for (const char* name : {"a.txt", "b.bmp", "noext", "tmp-0001.ppm", "tmp-0002.jpg",
                             "hidden.txt", "system.txt", "both.txt", "locked.txt"})
        support::WriteFile(folder / name, "x");
    CHECK(Attrib("+h", folder / "hidden.txt", FILE_ATTRIBUTE_HIDDEN));
    CHECK(Attrib("+s", folder / "system.txt", FILE_ATTRIBUTE_SYSTEM));
    CHECK(Attrib("+h", folder / "both.txt", FILE_ATTRIBUTE_HIDDEN));
    CHECK(Attrib("+s", folder / "both.txt", FILE_ATTRIBUTE_SYSTEM));
    CHECK(Attrib("+r", folder / "locked.txt", FILE_ATTRIBUTE_READONLY));
    CHECK(platform::CreateFolder(folder / "sub"));
    CHECK(platform::CreateFolder(folder / "tmp-0003.d"));

    struct Case {
        const char* name;
        std::string folder;
        const char* pattern;
        Names expected;
    };
    const Names everything{"a.txt", "b.bmp", "locked.txt", "noext", "tmp-0001.ppm", "tmp-0002.jpg"};
    const Case cases[] = {
        {"every name", folder.Path(), "*.*", everything},
        {"folder with backslash", folder.Path() + "\\", "*.*", everything},
        {"scratch files", folder.Path(), "tmp-*.*", {"tmp-0001.ppm", "tmp-0002.jpg"}},
        {"one extension", folder.Path(), "*.bmp", {"b.bmp"}},
        {"single wildcard", folder.Path(), "?.txt", {"a.txt"}},
        {"no match", folder.Path(), "*.none", {}},
        {"missing folder", folder / "missing", "*.*", {}},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        CHECK_EQ(platform::ListFiles(c.folder, c.pattern), c.expected);
    }
}

TEST(FilesAndFoldersAreToldApart) {
    support::ScratchFolder folder;
    support::WriteFile(folder / "file.txt", "x");
    support::WriteFile(folder / "hidden.txt", "x");
    SetFileAttributesA((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CHECK(platform::CreateFolder(folder / "sub"));

    struct Case {
        std::string path;
        bool file;
        bool isFolder;
    };
    const Case cases[] = {
        {folder / "file.txt", true, false},
        {folder / "hidden.txt", true, false},
        {folder / "sub", false, true},
        {folder / "sub\\", false, true},
        {folder / "missing", false, false},
        {folder / "missing\\file.txt", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        ROW(c.path);
        CHECK_EQ(platform::FileExists(c.path), c.file);
        CHECK_EQ(platform::FolderExists(c.path), c.isFolder);
    }
}

// A mapped file holds its bytes, binary zeros included, and lets the file
// be deleted once it is gone; an empty or missing file maps to nothing.
TEST(MappedFilesHoldTheirBytes) {
    support::ScratchFolder folder;
    const std::string bytes("P5\n2 1\n255\n\0\xff", 13);
    support::WriteFile(folder / "tmp-000.pgm", bytes);
    support::WriteFile(folder / "empty.pgm", "");
    {
        platform::MappedFile mapped(folder / "tmp-000.pgm");
        CHECK_EQ(mapped.size(), bytes.size());
        CHECK(mapped.data() != nullptr);
        if (mapped.data())
            CHECK_EQ(std::string(reinterpret_cast<const char*>(mapped.data()), mapped.size()),
                     bytes);
        mapped.Release(4);
    }
    CHECK(platform::RemoveFile(folder / "tmp-000.pgm"));
    for (const char* name : {"empty.pgm", "missing.pgm"}) {
        ROW(name);
        platform::MappedFile mapped(folder / name);
        CHECK(mapped.data() == nullptr);
        CHECK_EQ(mapped.size(), std::size_t{0});
    }
}

// TEMP is the user's own here: the scratch folder is made there, or kept.
TEST(ScratchFolderStaysInTemp) {
    support::ScratchFolder folder;
    const std::string wanted = folder / "Arvenzo";
    CHECK_EQ(platform::OwnScratchFolder(wanted), wanted);
    CHECK(platform::FolderExists(wanted));
    CHECK_EQ(platform::OwnScratchFolder(wanted), wanted);
}

// What arvenzo-extract's output rests on: a taken name is kept, a folder is
// made with its parents, and a folder that takes no file says why.
TEST(OutputFilesKeepTakenNamesAndSayWhy) {
    support::ScratchFolder folder;
    support::WriteFile(folder / "new.part", "new");
    support::WriteFile(folder / "taken.png", "mine");
    support::WriteFile(folder / "other.part", "other");
    CHECK(platform::MoveKeeping(folder / "new.part", folder / "1.png") ==
          platform::MoveResult::Moved);
    CHECK(platform::MoveKeeping(folder / "other.part", folder / "taken.png") ==
          platform::MoveResult::NameTaken);
    CHECK(platform::FileExists(folder / "1.png"));
    CHECK(!platform::FileExists(folder / "new.part"));

    CHECK_EQ(platform::CreateFolderPath(folder / "a\\b\\c"), std::string());
    CHECK(platform::FolderExists(folder / "a\\b\\c"));
    CHECK_EQ(platform::WriteProblem(folder / "a\\b\\c"), std::string());
    CHECK(!platform::WriteProblem(folder / "missing").empty());
    CHECK(!platform::CreateFolderPath(folder / "taken.png\\sub").empty());
}

// The system's SHA-256 of what a working file holds, taken as it is written
// or read back after a writer went back over it.
TEST(WorkingFilesHashWhatTheyHold) {
    support::ScratchFolder folder;
    struct Case {
        const char* name;
        std::vector<std::string> steps; // "@N" seeks to N
        const char* digest;
    };
    const char* kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const Case cases[] = {
        {"in order", {"a", "bc"}, kAbc},
        {"nothing", {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"back over it", {"xbc", "@0", "a"}, kAbc},
    };
    for (const Case& c : cases) {
        ROW(c.name);
        platform::WorkingFile file(folder.Path(), "x-");
        file.HashAsWritten();
        for (const std::string& step : c.steps)
            CHECK(step[0] == '@' ? file.Seek(std::stoll(step.substr(1)), SEEK_SET)
                                 : file.Write(step.data(), step.size()));
        CHECK(file.Complete());
        CHECK_EQ(file.Digest(), std::string(c.digest));
    }
}
