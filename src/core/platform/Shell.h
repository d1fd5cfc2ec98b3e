// Handing files, folders and addresses to the desktop's own programs.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Hands a file, folder or URL to the desktop shell with the verb "open".
// False when the shell says it could not: no opener installed, or none for
// this target. On POSIX that verdict is waited for a moment at most; an
// opener still busy then counts as having opened it.
bool OpenWithShell(const std::string& target);

// Replaces what OpenWithShell does (tests record the targets instead of
// starting programs, and say what the shell answers). An empty function
// restores the real shell.
using ShellOpener = std::function<bool(const std::string&)>;
void SetShellOpener(ShellOpener opener);

} // namespace platform
