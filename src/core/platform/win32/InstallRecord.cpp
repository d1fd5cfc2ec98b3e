#include "platform/InstallRecord.h"

#include "platform/win32/Handle.h"

#include <algorithm>

namespace platform {

namespace {

// Locked-down machines may refuse the full read right but still grant the
// narrower ones, so each is tried in turn.
bool OpenMachineKey(const std::string& path, win32::RegistryKey& key) {
    const REGSAM rights[] = {
        KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, KEY_QUERY_VALUE};
    for (REGSAM access : rights)
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key.Out()) == ERROR_SUCCESS)
            return true;
    return false;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

} // namespace

MachineValue ReadMachineValue(const std::string& keyPath, const std::string& valueName) {
    MachineValue result;
    // A leading backslash means "from the root key", which is where every
    // path here starts anyway; the system call wants it without.
    const std::size_t start = keyPath.find_first_not_of('\\');
    if (start == std::string::npos)
        return result;
    win32::RegistryKey key;
    if (!OpenMachineKey(keyPath.substr(start), key))
        return result;

    // The value may change between asking for its size and reading it.
    result.kind = MachineValue::Kind::Unreadable;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        const LSTATUS asked =
            RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (asked == ERROR_FILE_NOT_FOUND) {
            result.kind = MachineValue::Kind::Missing;
            return result;
        }
        if (asked != ERROR_SUCCESS || !IsText(type))
            return result;
        // One byte more than asked for, since the stored text need not end
        // in a NUL.
        std::string data(static_cast<std::size_t>(size) + 1, '\0');
        DWORD got = size;
        const LSTATUS status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || !IsText(type))
            return result;
        data.resize(std::min<std::size_t>(got, size));
        // Expandable text is taken as stored; the text ends at its first NUL.
        result.kind = MachineValue::Kind::String;
        result.text = data.substr(0, data.find('\0'));
        return result;
    }
    return result;
}

std::string ReadMachineString(const std::string& keyPath, const std::string& valueName) {
    return ReadMachineValue(keyPath, valueName).text;
}

} // namespace platform
