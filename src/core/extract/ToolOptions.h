// The options glimmet.bin takes about which pictures come and how, the
// same for a job and for a listing of what the job would write.
#pragma once

#include <string>
#include <vector>

namespace extract {

struct PictureChoice {
    std::string password;
    std::string formatText; // the output format, which decides what is kept as it is
    bool unique = false;
    int minWidth = 0;
    int minHeight = 0;
};

// Appends the options for `choice` to `args`.
void AddPictureOptions(const PictureChoice& choice, std::vector<std::string>& args);

} // namespace extract
