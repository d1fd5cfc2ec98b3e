// The installer's record of this product on the machine, read only.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Reads the string value `valueName` of the machine-wide key `keyPath`
// (for instance "\Software\Tessaly\Arvenzo"). Empty when the key or the
// value is missing, unreadable or not a string; never raises.
std::string ReadMachineString(const std::string& keyPath, const std::string& valueName);

// The same value, telling the cases apart: no key, a key without the value,
// a string, or a value that cannot be read as one (another type, or a read
// that fails), whose text is then empty.
struct MachineValue {
    enum class Kind { NoKey, Missing, String, Unreadable };
    Kind kind = Kind::NoKey;
    std::string text;
};
MachineValue ReadMachineValue(const std::string& keyPath, const std::string& valueName);

#ifndef _WIN32
// Where install records are looked for, first to last: the folders of
// XDG_CONFIG_DIRS (else /etc/xdg), then the configuration folder of the
// prefix the program was built for.
std::vector<std::string> InstallRecordFolders();
#endif

} // namespace platform
