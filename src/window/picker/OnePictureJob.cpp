#include "picker/OnePictureJob.h"

#include "control/ChosenPictures.h"
#include "extract/ExtractionJob.h"
#include "extract/Failures.h"
#include "extract/Formats.h"
#include "platform/Files.h"
#include "toolkit/MessageBoxes.h"

#include <QFileInfo>
#include <type_traits>
#include <variant>

namespace picker {

namespace {

// Keeps what became of the one picture; runs on the job's thread.
class OneSink : public extract::JobSink {
public:
    explicit OneSink(extract::JobRequest request) : request_(std::move(request)) {}

    extract::JobRequest BeginJob() override { return request_; }
    void Tell(const extract::JobEvent& event) override {
        std::visit(
            [this](const auto& e) {
                using Event = std::decay_t<decltype(e)>;
                if constexpr (std::is_same_v<Event, extract::ImageWritten>)
                    path = e.path;
                else if constexpr (std::is_same_v<Event, extract::ImageFailed>)
                    failure = extract::NamedFailure(e.failure);
                else if constexpr (std::is_same_v<Event, extract::JobFailed>)
                    failure = e.message;
            },
            event);
    }
    void EndJob() override {}

    std::string path;
    std::string failure;

private:
    extract::JobRequest request_;
};

} // namespace

extract::JobRequest OnePictureRequest(extract::JobRequest request, extract::PicturePlace place) {
    request.openAfter = false;
    request.naming = {};
    request.pictures = {};
    return extract::OnlyThese(std::move(request), {place});
}

OnePictureJob::OnePictureJob(std::string toolFolder, OnePicture order, QObject* parent)
    : QThread(parent), toolFolder_(std::move(toolFolder)), order_(std::move(order)) {}

OnePictureJob::~OnePictureJob() {
    Abandon();
    wait();
}

void OnePictureJob::Abandon() {
    abandon_ = true;
    running_ = false;
}

void OnePictureJob::run() {
    order_.request.conversion.outputFolder =
        order_.folder.substr(0, order_.folder.size() - 1); // without its separator
    OneSink sink(order_.request);
    extract::ExtractionJob job(sink, running_, toolFolder_, order_.workFolder, &abandon_);
    job.Run();
    std::string path = sink.path;
    if (abandon_) {
        if (!path.empty())
            platform::RemoveFile(path);
        return;
    }
    if (!path.empty() && !order_.name.empty()) {
        const QString suffix = QFileInfo(QString::fromLocal8Bit(path.c_str())).suffix();
        const std::string named =
            extract::NamedFile(order_.request.conversion.outputFolder, order_.name,
                               suffix.toLocal8Bit().toStdString());
        if (named != path && platform::MoveReplacing(path, named))
            path = named;
    }
    QString failure = toolkit::FromProgramText(sink.failure);
    if (path.empty() && failure.isEmpty())
        failure = tr("The picture could not be made.");
    QImage picture;
    if (order_.load && !path.empty()) {
        picture.load(QString::fromLocal8Bit(path.c_str()));
        platform::RemoveFile(path);
        path.clear();
        if (picture.isNull() && failure.isEmpty())
            failure = tr("The picture could not be made.");
    }
    emit made(QString::fromLocal8Bit(path.c_str()), picture, failure);
}

} // namespace picker
