#include "extract/ToolOptions.h"

#include "ToolContract.h"
#include "extract/Formats.h"

namespace extract {

void AddPictureOptions(const PictureChoice& choice, std::vector<std::string>& args) {
    if (!choice.password.empty()) {
        args.push_back(contract::kPasswordOption);
        args.push_back(choice.password);
    }
    // Pictures the format can take as the document holds them come as its
    // own bytes, and are copied instead of encoded a second time.
    if (const char* kept = KeptEncoding(choice.formatText)) {
        args.push_back(contract::kKeepOption);
        args.push_back(kept);
    }
    if (choice.unique)
        args.push_back(contract::kUniqueOption);
    if (choice.minWidth > 0 || choice.minHeight > 0) {
        args.push_back(contract::kMinSizeOption);
        args.push_back(std::to_string(choice.minWidth) + "x" + std::to_string(choice.minHeight));
    }
}

} // namespace extract
