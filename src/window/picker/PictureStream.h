// Reads a document's pictures on a thread of its own and hands them to the
// window one by one, thumbnail and all, as the tool comes to them; then
// reads them again to tell which repeat an earlier one, which takes every
// picture decoded whole and so comes second.
#pragma once

#include "extract/PictureReader.h"
#include "picker/PictureModel.h"

#include <QStringList>
#include <QThread>
#include <atomic>
#include <functional>
#include <string>

namespace picker {

class PictureStream : public QThread {
    Q_OBJECT
public:
    // `scratchFolder` (with a final separator) is the reading's own; its
    // thumbnails are gone from it once handed on.
    PictureStream(std::string toolFolder, std::string scratchFolder, extract::PickerRequest request,
                  QObject* parent = nullptr);
    // Ends the tool and waits for the thread, which takes a moment at most.
    ~PictureStream() override;

    // Ends the reading: the tool is ended at once and nothing more comes.
    void Stop();

signals:
    void pictureRead(picker::ReadPicture picture);
    // Every thumbnail is in; the repeats are looked for now.
    void thumbnailsRead();
    void repeatFound(picker::FoundRepeat repeat);
    // The reading is over: whether the whole range was read, and what
    // failed that names no picture.
    void readingEnded(bool whole, QStringList problems);

protected:
    void run() override;

private:
    // One reading, each picture handed to `take`; whether the whole range
    // was read.
    bool Read(const extract::PickerRequest& request, QStringList& problems,
              const std::function<void(extract::PickedPicture&)>& take);

private:
    std::string toolFolder_;
    std::string scratchFolder_;
    extract::PickerRequest request_;
    std::atomic<bool> stop_{false};
};

// The tool's thumbnail file, read into as little memory as its pixels need,
// and removed; a null image when it cannot be read.
QImage TakeThumbnail(const std::string& path);

} // namespace picker
