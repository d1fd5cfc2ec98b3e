// A job over a few chosen pictures of the document rather than all of it.
#pragma once

#include "extract/JobSink.h"

#include <vector>

namespace extract {

// The job `whole` over just `chosen`: the pictures in the order of the
// document, each once, and the pages narrowed to the span they stand on, so
// that the tool walks no page before the first nor after the last. Nothing
// chosen leaves the job as it was.
JobRequest OnlyThese(JobRequest whole, std::vector<PicturePlace> chosen);

} // namespace extract
