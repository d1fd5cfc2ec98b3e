#include "Check.h"
#include "Support.h"
#include "platform/InstallRecord.h"

#include <windows.h>

using platform::ReadMachineString;

namespace {

const char* const kRecord = "HKLM\\Software\\Tessaly\\Arvenzo";

void RegAdd(const std::string& key, const std::string& name, const std::string& type,
            const std::string& data) {
    support::RunSystemTool("reg.exe", {"add", key, "/v", name, "/t", type, "/d", data, "/f"});
}

// Values the reg tool cannot write: text with a NUL inside or none at its end.
void SetRaw(const std::string& name, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Tessaly\\Arvenzo", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void WriteRecord() {
    support::RunSystemTool("reg.exe", {"delete", kRecord, "/f"});
    RegAdd(kRecord, "Version", "REG_SZ", "1.3.7");
    RegAdd(kRecord, "Website", "REG_SZ", "http://tessaly.example/arvenzo.html");
    RegAdd(kRecord, "Folder", "REG_EXPAND_SZ", "%ProgramFiles%\\Tessaly\\Arvenzo");
    RegAdd(kRecord, "Padded", "REG_SZ", "  1.3  ");
    RegAdd(kRecord, "Empty", "REG_SZ", "");
    RegAdd(kRecord, "Count", "REG_DWORD", "7");
    RegAdd(kRecord, "Blob", "REG_BINARY", "31322e33");
    RegAdd(kRecord, "List", "REG_MULTI_SZ", "1.3\\02.0");
    SetRaw("Inner", std::string("1.3\0junk", 8));
    SetRaw("Unended", "1.3");
    SetRaw("Long", std::string(5000, 'v'));
}

} // namespace

TEST(InstallRecordReadsStringsAsStoredAndOthersAsEmpty) {
    WriteRecord();
    // The writes themselves must have worked, or the empty rows prove nothing.
    CHECK(support::RunSystemTool("reg.exe", {"query", kRecord, "/v", "Count"}).find("0x7") !=
          std::string::npos);

    struct Case {
        const char* key;
        const char* value;
        std::string expected;
    };
    const Case cases[] = {
        {"\\Software\\Tessaly\\Arvenzo", "Version", "1.3.7"},
        {"\\Software\\Tessaly\\Arvenzo", "Website", "http://tessaly.example/arvenzo.html"},
        {"\\Software\\Tessaly\\Arvenzo", "Folder", "%ProgramFiles%\\Tessaly\\Arvenzo"},
        {"\\Software\\Tessaly\\Arvenzo", "Padded", "  1.3  "},
        {"\\Software\\Tessaly\\Arvenzo", "Empty", ""},
        {"\\Software\\Tessaly\\Arvenzo", "Count", ""},
        {"\\Software\\Tessaly\\Arvenzo", "Blob", ""},
        {"\\Software\\Tessaly\\Arvenzo", "List", ""},
        {"\\Software\\Tessaly\\Arvenzo", "Inner", "1.3"},
        {"\\Software\\Tessaly\\Arvenzo", "Unended", "1.3"},
        {"\\Software\\Tessaly\\Arvenzo", "Long", std::string(5000, 'v')},
        {"\\Software\\Tessaly\\Arvenzo", "Missing", ""},
        {"Software\\Tessaly\\Arvenzo", "Version", "1.3.7"},
        {"\\SOFTWARE\\TESSALY\\ARVENZO", "version", "1.3.7"},
        {"\\Software\\Tessaly\\Nothing", "Version", ""},
        {"\\Software\\Tessaly\\Arvenzo\\Deeper", "Version", ""},
        {"\\", "Version", ""},
        {"", "Version", ""},
    };
    for (const Case& c : cases) {
        ROW(std::string(c.key) + " " + c.value);
        CHECK_EQ(ReadMachineString(c.key, c.value), c.expected);
    }
}

TEST(ProEditionPathIsRead) {
    const std::string key = "HKLM\\SOFTWARE\\Tessaly\\Quorrin";
    const std::string path = "C:\\Program Files\\Tessaly\\Quorrin\\Quorrin.exe";
    support::RunSystemTool("reg.exe", {"delete", key, "/f"});
    CHECK_EQ(ReadMachineString("\\SOFTWARE\\Tessaly\\Quorrin", "InstallPath"), std::string());
    RegAdd(key, "InstallPath", "REG_SZ", path);
    CHECK_EQ(ReadMachineString("\\SOFTWARE\\Tessaly\\Quorrin", "InstallPath"), path);
    support::RunSystemTool("reg.exe", {"delete", key, "/f"});
}

TEST(ProEditionPathTellsItsCasesApart) {
    using Kind = platform::MachineValue::Kind;
    const std::string key = "HKLM\\SOFTWARE\\Tessaly\\Quorrin";
    const char* const path = "\\SOFTWARE\\Tessaly\\Quorrin";
    support::RunSystemTool("reg.exe", {"delete", key, "/f"});
    CHECK(platform::ReadMachineValue(path, "InstallPath").kind == Kind::NoKey);
    RegAdd(key, "Other", "REG_SZ", "x");
    CHECK(platform::ReadMachineValue(path, "InstallPath").kind == Kind::Missing);
    RegAdd(key, "InstallPath", "REG_DWORD", "1");
    CHECK(platform::ReadMachineValue(path, "InstallPath").kind == Kind::Unreadable);
    RegAdd(key, "InstallPath", "REG_SZ", "C:\\Q.exe");
    const platform::MachineValue value = platform::ReadMachineValue(path, "InstallPath");
    CHECK(value.kind == Kind::String);
    CHECK_EQ(value.text, std::string("C:\\Q.exe"));
    support::RunSystemTool("reg.exe", {"delete", key, "/f"});
}
