#include "app/RegistryAccess.h"

#include "platform/InstallRecord.h"

namespace app {

namespace {

std::string ReadInstallValue(const std::string& productName, const std::string& valueName) {
    return platform::ReadMachineString("\\Software\\Tessaly\\" + productName, valueName);
}

} // namespace

std::string ReadInstallVersion(const std::string& productName) {
    return ReadInstallValue(productName, "Version");
}

std::string ReadInstallWebsite(const std::string& productName) {
    return ReadInstallValue(productName, "Website");
}

} // namespace app
