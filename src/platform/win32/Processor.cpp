#include "platform/platform.h"

namespace platform {

// A started program takes the process's processors, not the thread's, so
// binding the thread would keep the job and its tools apart: nothing here.
struct ProcessorBinding::Impl {};
ProcessorBinding::ProcessorBinding() = default;
ProcessorBinding::~ProcessorBinding() = default;

} // namespace platform
