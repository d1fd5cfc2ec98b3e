// What arvenzo-extract's exit status says.
#pragma once

namespace cli {

enum ExitCode { kAllWritten = 0, kSomeFailed = 1, kBadInput = 2, kInterrupted = 130 };

} // namespace cli
