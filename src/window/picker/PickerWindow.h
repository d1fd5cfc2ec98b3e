// The picker: every picture the job would save, as thumbnails that stream
// in while the tool reads the pages, with filters, ticks, a closer look,
// dragging out, and "Save selected", which runs the main window's job over
// the pictures ticked.
#pragma once

#include "extract/JobSink.h"
#include "extract/PictureReader.h"
#include "picker/PickerRules.h"
#include "picker/PickerScratch.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace picker {

class OnePictureJob;
class PictureCloser;
class PictureModel;
class PictureStream;
class PictureView;
class ShownPictures;
struct ReadPicture;
struct FoundRepeat;

// What the picker takes from the main window.
struct PickerSetup {
    // The document, its pages and password, and the format that decides
    // which pictures keep the document's own bytes.
    extract::PickerRequest request;
    std::string toolFolder;  // holds glimmet.bin, with a final separator
    std::string scratchBase; // the window's scratch folder, with a final separator
    // Runs the main window's job over these pictures; false when none
    // started.
    std::function<bool(std::vector<extract::PicturePlace>)> save;
    // The main window's job as its boxes stand now (format, prefix): what a
    // dragged picture is made with.
    std::function<extract::JobRequest()> job;
    // True while the main window's job runs.
    std::function<bool()> saving;
};

class PickerWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own that `owner` keeps; the reading starts at once.
    PickerWindow(PickerSetup setup, QWidget* owner);
    ~PickerWindow() override;

    const extract::PickerRequest& Request() const { return setup_.request; }

    // The main window's format changed.
    void SetFormat(const std::string& formatText);
    // The main window's job started or ended: no saving meanwhile.
    void SetSaving(bool saving);
    // A picture made on demand is given up: another job is about to use the
    // image library.
    void EndOnDemand();
    // The reading is over, or was stopped.
    bool Reading() const;

    // The controls, for the keyboard and for tests.
    PictureView* View() const { return view_; }
    PictureModel* Model() const { return model_; }
    ShownPictures* Shown() const { return shown_; }
    PictureCloser* Closer() const;

    void TickShown(bool ticked);
    void SaveSelected();
    void LookCloser(int shownRow);
    // The file a dragged picture becomes, made now; empty when it cannot be.
    QString DragFile(int shownRow);

signals:
    void readingEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    void StartReading();
    void Take(ReadPicture read);
    void TakeRepeat(const FoundRepeat& repeat);
    void ReadingOver(bool whole, const QStringList& problems);
    void FilterChanged();
    void UpdateCounts();
    bool Busy();
    // Starts the job that makes one picture; null when no folder could be
    // had.
    OnePictureJob* MakeOne(extract::JobRequest job, extract::PicturePlace place, bool load,
                           const std::string& name);

    PickerSetup setup_;
    PickerScratch scratch_;
    PictureModel* model_;
    ShownPictures* shown_;
    PictureView* view_;
    QCheckBox* eachOnce_;
    QCheckBox* hideSmall_;
    QSpinBox* minWidth_;
    QSpinBox* minHeight_;
    QLabel* counts_;
    QLabel* state_;
    QPushButton* all_;
    QPushButton* none_;
    QPushButton* save_;
    QPointer<PictureCloser> closer_;
    std::unique_ptr<PictureStream> stream_;
    std::string readingFolder_;
    int readingSerial_ = 0;
    // Ticked before the pictures were read again, to be ticked as they come.
    std::set<extract::PicturePlace> toTick_;
    // The one picture being made on demand, and which request it answers.
    std::unique_ptr<OnePictureJob> onDemand_;
    // Its folders that go with it.
    std::vector<std::string> onDemandFolders_;
    int onDemandSerial_ = 0;
    bool reading_ = true;
    bool saving_ = false;
    // The state line asks to wait until the saving is done.
    bool toldToWait_ = false;
    // A dragged picture is being made: the window stays until it is.
    bool waiting_ = false;
    bool closeAfterWait_ = false;
    ShownCount count_;
};

} // namespace picker
