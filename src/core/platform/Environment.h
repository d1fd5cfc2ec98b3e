// Where things are on this system: its separator, TEMP, the current
// folder and the running executable.
#pragma once

#include <string>

namespace platform {

// The folder separator of this system: "\" on Windows, "/" elsewhere.
char PathSeparator();

// `folder` with a separator at its end, added only when missing; an empty
// folder becomes the separator alone.
std::string WithSeparator(std::string folder);

// Whether `name` holds a separator ("/" on every system, or the system's
// own), so that it would reach out of the folder it is put in.
bool HoldsSeparator(const std::string& name);

// The TEMP folder as the system names it, without changing a trailing
// separator. On Windows the TEMP variable (empty when unset); on POSIX the
// first of TEMP, XDG_RUNTIME_DIR, TMPDIR that is set, else "/tmp", made
// absolute against the current folder.
std::string TempFolder();

// `path` made absolute against the current folder.
std::string AbsolutePath(const std::string& path);

// `path` made absolute with links, "." and ".." resolved as far as it
// exists, so that two names of one file compare equal; no final separator
// but the root's.
std::string CanonicalPath(const std::string& path);

// The full path of the running executable.
std::string ExecutablePath();

} // namespace platform
