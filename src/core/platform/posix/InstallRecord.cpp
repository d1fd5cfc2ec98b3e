// The installer's record is an INI file per product under the system's
// configuration folders: "\Software\Tessaly\Arvenzo" is Tessaly/Arvenzo.conf.
#include "platform/InstallRecord.h"

#include "platform/Files.h"
#include "text/SplitItems.h"
#include "text/TextRules.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

std::string RecordFileName(const std::string& keyPath) {
    std::vector<std::string> parts = text::SplitItems(keyPath, "\\", "");
    if (!parts.empty() && text::LowerCase(parts.front()) == "software")
        parts.erase(parts.begin());
    std::filesystem::path name;
    for (const std::string& part : parts)
        name /= part;
    return name.empty() ? std::string{} : name.string() + ".conf";
}

std::string FindRecord(const std::string& fileName) {
    for (const std::string& dir : InstallRecordFolders()) {
        const std::string path = (std::filesystem::path(dir) / fileName).string();
        if (FileExists(path))
            return path;
    }
    return {};
}

// Values written the way a registry export writes other types are not
// strings and read as empty.
bool IsOtherType(const std::string& value) {
    const std::string lower = text::LowerCase(value);
    return lower.rfind("dword:", 0) == 0 || lower.rfind("qword:", 0) == 0 ||
           lower.rfind("hex:", 0) == 0 || lower.rfind("hex(", 0) == 0;
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

std::vector<std::string> InstallRecordFolders() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::vector<std::string> folders = text::SplitItems(dirs && *dirs ? dirs : "/etc/xdg", ":", "");
    // The installer writes the record under the prefix the program was built
    // for, which need not be among the desktop's folders (/usr/local, say).
    const std::string own = ARVENZO_SYSCONFDIR "/xdg";
    if (std::find(folders.begin(), folders.end(), own) == folders.end())
        folders.push_back(own);
    return folders;
}

MachineValue ReadMachineValue(const std::string& keyPath, const std::string& valueName) {
    MachineValue result;
    const std::string fileName = RecordFileName(keyPath);
    if (fileName.empty())
        return result;
    std::ifstream in(FindRecord(fileName));
    if (!in)
        return result;
    result.kind = MachineValue::Kind::Missing;
    const std::string wanted = text::LowerCase(valueName);
    bool inGeneral = true;
    std::string line;
    while (std::getline(in, line)) {
        line = text::Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            inGeneral = text::LowerCase(line) == "[general]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGeneral || eq == std::string::npos)
            continue;
        if (text::LowerCase(text::Trim(line.substr(0, eq))) != wanted)
            continue;
        const std::string value = text::Trim(line.substr(eq + 1));
        if (IsOtherType(value)) {
            result.kind = MachineValue::Kind::Unreadable;
        } else {
            result.kind = MachineValue::Kind::String;
            result.text = Unquote(value);
        }
        return result;
    }
    return result;
}

std::string ReadMachineString(const std::string& keyPath, const std::string& valueName) {
    return ReadMachineValue(keyPath, valueName).text;
}

} // namespace platform
