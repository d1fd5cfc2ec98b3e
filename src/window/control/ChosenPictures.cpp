#include "control/ChosenPictures.h"

#include <utility>

namespace extract {

JobRequest OnlyThese(JobRequest whole, std::vector<PicturePlace> chosen) {
    if (chosen.empty())
        return whole;
    chosen = InDocumentOrder(std::move(chosen));
    whole.firstPage = chosen.front().page;
    whole.lastPage = chosen.back().page;
    whole.pictures.only = std::move(chosen);
    return whole;
}

} // namespace extract
