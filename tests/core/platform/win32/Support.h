// What the Windows tests share: scratch folders, the stand-in tool, and the
// system's own command-line programs.
#pragma once

#include <string>
#include <vector>

namespace support {

// A new, empty folder under the TEMP folder the tests started with; removed
// with everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

std::string TestFolder();                        // where the test programs are
std::string StubPath();                          // the stand-in console tool
std::string SystemTool(const std::string& name); // e.g. "reg.exe" in the system folder

void WriteFile(const std::string& path, const std::string& content);
bool CopyTo(const std::string& from, const std::string& to);

// Runs a system tool and returns what it printed.
std::string RunSystemTool(const std::string& name, const std::vector<std::string>& arguments);

} // namespace support
