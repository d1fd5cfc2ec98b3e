#include "extract/ToolOptions.h"

#include "ToolContract.h"
#include "extract/Formats.h"

namespace extract {

void AddPictureOptions(const std::string& password, const std::string& formatText,
                       const PictureChoice& choice, std::vector<std::string>& args) {
    if (!password.empty()) {
        args.push_back(contract::kPasswordOption);
        args.push_back(password);
    }
    // Pictures the format can take as the document holds them come as its
    // own bytes, and are copied instead of encoded a second time.
    if (const char* kept = KeptEncoding(formatText)) {
        args.push_back(contract::kKeepOption);
        args.push_back(kept);
    }
    if (choice.unique)
        args.push_back(contract::kUniqueOption);
    if (choice.HasMinimum()) {
        args.push_back(contract::kMinSizeOption);
        args.push_back(choice.MinimumText());
    }
}

} // namespace extract
