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

void PictureStream::run() {
    QStringList problems;
    bool whole = false;
    try {
        // Made and ended on this thread: its tool goes with it.
        extract::PictureReader reader(toolFolder_, scratchFolder_, request_);
        const platform::GiveUp giveUp = [this] { return stop_.load(); };
        while (std::optional<extract::PickedPicture> picture = reader.Next(giveUp)) {
            ReadPicture read;
            if (!picture->thumbnail.empty())
                read.thumbnail = TakeThumbnail(picture->thumbnail);
            picture->thumbnail.clear();
            read.picture = std::move(*picture);
            if (stop_)
                return;
            emit pictureRead(std::move(read));
        }
        whole = reader.Finished();
        for (const std::string& line : reader.Problems())
            problems << toolkit::FromProgramText(line);
    } catch (const std::exception& e) {
        problems << toolkit::FromProgramText(e.what());
    }
    if (!stop_)
        emit readingEnded(whole, problems);
}

} // namespace picker
