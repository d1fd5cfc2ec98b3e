// Names that carry the run that made them, so that what a run ended by
// force (a crash, SIGKILL) left can be told from another live run's files
// and taken away by a later run.
#pragma once

#include <string>

namespace extract {

// What the name of a working file in an output folder begins with.
inline constexpr const char* kWorkingFilePrefix = ".arvenzo-";

// `prefix` followed by this run's mark and "-": a name made of it and a
// random tail is this run's own.
std::string MarkedPrefix(const std::string& prefix);

// Removes from `folder` what runs that have ended left under names made by
// MarkedPrefix(prefix): the user's own folders with their files when
// `folders`, else files. A live run's are left alone, and so is anything
// whose maker cannot be told.
void RemoveLeftByEndedRuns(const std::string& folder, const std::string& prefix, bool folders);

} // namespace extract
