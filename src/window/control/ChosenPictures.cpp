#include "control/ChosenPictures.h"

#include <algorithm>

namespace extract {

JobRequest OnlyThese(JobRequest whole, std::vector<PicturePlace> chosen) {
    if (chosen.empty())
        return whole;
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    whole.firstPage = chosen.front().page;
    whole.lastPage = chosen.back().page;
    whole.pictures.only = std::move(chosen);
    return whole;
}

} // namespace extract
