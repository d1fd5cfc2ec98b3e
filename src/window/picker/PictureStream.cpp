#include "picker/PictureStream.h"

#include "platform/Files.h"
#include "toolkit/MessageBoxes.h"

#include <exception>

namespace picker {

QImage TakeThumbnail(const std::string& path) {
    QImage image(QString::fromLocal8Bit(path.c_str()));
    platform::RemoveFile(path);
    // A gray map stays a byte a pixel; colour takes three, not four.
    if (!image.isNull() && !image.isGrayscale() && image.format() != QImage::Format_RGB888)
        image.convertTo(QImage::Format_RGB888);
    else if (image.isGrayscale() && image.format() != QImage::Format_Grayscale8)
        image.convertTo(QImage::Format_Grayscale8);
    return image;
}

PictureStream::PictureStream(std::string toolFolder, std::string scratchFolder,
                             extract::PickerRequest request, QObject* parent)
    : QThread(parent), toolFolder_(std::move(toolFolder)), scratchFolder_(std::move(scratchFolder)),
      request_(std::move(request)) {}

PictureStream::~PictureStream() {
    Stop();
    wait();
}

void PictureStream::Stop() {
    stop_ = true;
}

bool PictureStream::Read(const extract::PickerRequest& request, QStringList& problems,
                         const std::function<void(extract::PickedPicture&)>& take) {
    bool whole = false;
    try {
        // Made and ended on this thread: its tool goes with it.
        extract::PictureReader reader(toolFolder_, scratchFolder_, request);
        const platform::GiveUp giveUp = [this] { return stop_.load(); };
        while (std::optional<extract::PickedPicture> picture = reader.Next(giveUp)) {
            take(*picture);
            if (stop_)
                return false;
        }
        whole = reader.Finished();
        for (const std::string& line : reader.Problems())
            problems << toolkit::FromProgramText(line);
    } catch (const std::exception& e) {
        problems << toolkit::FromProgramText(e.what());
    }
    return whole;
}

void PictureStream::run() {
    QStringList problems;
    bool whole = Read(request_, problems, [this](extract::PickedPicture& picture) {
        ReadPicture read;
        if (!picture.thumbnail.empty())
            read.thumbnail = TakeThumbnail(picture.thumbnail);
        picture.thumbnail.clear();
        read.picture = std::move(picture);
        if (!stop_)
            emit pictureRead(std::move(read));
    });
    if (stop_)
        return;
    emit thumbnailsRead();
    extract::PickerRequest repeats = request_;
    repeats.thumbnailSize = 0;
    repeats.findRepeats = true;
    QStringList repeatProblems;
    const bool repeatsWhole =
        Read(repeats, repeatProblems, [this](const extract::PickedPicture& picture) {
            if (picture.repeatOf && !stop_)
                emit repeatFound({{picture.facts.page, picture.facts.onPage}, *picture.repeatOf});
        });
    // What the first reading said, the second says again.
    if (problems.isEmpty())
        problems = repeatProblems;
    if (!stop_)
        emit readingEnded(whole && repeatsWhole, problems);
}

} // namespace picker
