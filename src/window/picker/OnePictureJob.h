// One picture of the document made into a file on demand, by the job the
// main window runs, on a thread of its own: to look at it closer, or to
// hand it to another program.
#pragma once

#include "extract/JobSink.h"

#include <QImage>
#include <QString>
#include <QThread>
#include <atomic>
#include <string>

namespace picker {

struct OnePicture {
    // The document, with the one picture chosen, its format and prefix.
    extract::JobRequest request;
    // Private folders of the job's own (with final separators): the file
    // comes into `folder`, the tool writes into `workFolder`.
    std::string folder;
    std::string workFolder;
    // The file's name without its extension; the job's own when empty.
    std::string name;
    // The file is read into an image and removed.
    bool load = false;
};

// The job for `place` of `request`'s document, written in `formatText`.
extract::JobRequest OnePictureRequest(extract::JobRequest request, extract::PicturePlace place);

class OnePictureJob : public QThread {
    Q_OBJECT
public:
    OnePictureJob(std::string toolFolder, OnePicture order, QObject* parent = nullptr);
    // Abandons the job and waits for it, a moment at most.
    ~OnePictureJob() override;

    // The tool is ended at once, and nothing is said.
    void Abandon();

signals:
    // The file (or, when loaded, its pixels), or why there is none.
    void made(QString path, QImage picture, QString failure);

protected:
    void run() override;

private:
    std::string toolFolder_;
    OnePicture order_;
    std::atomic<bool> running_{true};
    std::atomic<bool> abandon_{false};
};

} // namespace picker
