#include "picker/PickerWindow.h"

#include "picker/OnePictureJob.h"
#include "picker/PictureCloser.h"
#include "picker/PictureDelegate.h"
#include "picker/PictureModel.h"
#include "picker/PictureStream.h"
#include "picker/PictureView.h"
#include "toolkit/BusyCursor.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBoxes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace picker {

namespace {

// The minimum the "small" mark starts from.
constexpr int kFirstMinimum = 32;
constexpr int kLargestMinimum = 100000;

QSpinBox* SideBox(const char* name, const QString& spoken) {
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(0, kLargestMinimum);
    box->setValue(kFirstMinimum);
    box->setAccessibleName(spoken);
    return box;
}

QPushButton* Button(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

PickerWindow::PickerWindow(PickerSetup setup, QWidget* owner)
    : QWidget(owner, Qt::Window), setup_(std::move(setup)), scratch_(setup_.scratchBase) {
    setObjectName(QStringLiteral("PickerWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildWindow();
    StartReading();
}

// What a reading that was replaced still had on its way is dropped.
void PickerWindow::StartReading() {
    stream_.reset();
    if (!readingFolder_.empty())
        scratch_.Remove(readingFolder_);
    const int reading = ++readingSerial_;
    reading_ = true;
    state_->setText(tr("Reading the pictures…"));
    state_->setToolTip({});
    readingFolder_ = scratch_.Make();
    if (readingFolder_.empty()) {
        ReadingOver(false, {tr("No private scratch folder could be made for the thumbnails.")});
        return;
    }
    stream_ = std::make_unique<PictureStream>(setup_.toolFolder, readingFolder_, setup_.request);
    const auto current = [this, reading] { return reading == readingSerial_; };
    connect(stream_.get(), &PictureStream::pictureRead, this, [this, current](ReadPicture read) {
        if (current())
            toolkit::Guarded(this, [&] { Take(std::move(read)); });
    });
    connect(stream_.get(), &PictureStream::thumbnailsRead, this, [this, current] {
        if (current())
            state_->setText(tr("Looking for repeats…"));
    });
    connect(stream_.get(), &PictureStream::repeatFound, this,
            [this, current](const FoundRepeat& repeat) {
                if (current())
                    toolkit::Guarded(this, [&] { TakeRepeat(repeat); });
            });
    connect(stream_.get(), &PictureStream::readingEnded, this,
            [this, current](bool whole, const QStringList& problems) {
                if (current())
                    ReadingOver(whole, problems);
            });
    stream_->start();
}

// Which pictures keep the document's own bytes depends on the format: the
// pictures are read again, and what was ticked is ticked again as it comes.
void PickerWindow::SetFormat(const std::string& formatText) {
    if (formatText == setup_.request.formatText)
        return;
    setup_.request.formatText = formatText;
    EndOnDemand();
    for (std::size_t row = 0; row < model_->Ticked().size(); ++row)
        if (model_->Ticked()[row])
            toTick_.insert(
                {model_->Pictures()[row].facts.page, model_->Pictures()[row].facts.onPage});
    model_->Clear();
    count_ = {};
    UpdateCounts();
    StartReading();
}

// The tool and any picture made on demand end before the folders go.
PickerWindow::~PickerWindow() {
    onDemand_.reset();
    stream_.reset();
}

void PickerWindow::BuildWindow() {
    const extract::PickerRequest& request = setup_.request;
    const QString document = QFileInfo(toolkit::FromProgramText(request.inputPath)).fileName();
    setWindowTitle(request.firstPage == request.lastPage
                       ? tr("Pick pictures: %1, page %2").arg(document).arg(request.firstPage)
                       : tr("Pick pictures: %1, pages %2-%3")
                             .arg(document)
                             .arg(request.firstPage)
                             .arg(request.lastPage));

    model_ = new PictureModel(this);
    shown_ = new ShownPictures(*model_, this);
    view_ = new PictureView(this);
    view_->setObjectName(QStringLiteral("PickerPictures"));
    view_->setAccessibleName(tr("Pictures"));
    view_->setModel(shown_);
    view_->setItemDelegate(new PictureDelegate(request.thumbnailSize, view_));

    eachOnce_ = new QCheckBox(tr("Each picture once"));
    eachOnce_->setObjectName(QStringLiteral("PickerEachOnce"));
    hideSmall_ = new QCheckBox(tr("Hide pictures smaller than"));
    hideSmall_->setObjectName(QStringLiteral("PickerHideSmall"));
    minWidth_ = SideBox("PickerMinWidth", tr("Smallest width"));
    minHeight_ = SideBox("PickerMinHeight", tr("Smallest height"));
    counts_ = new QLabel;
    counts_->setObjectName(QStringLiteral("PickerCounts"));
    state_ = new QLabel;
    state_->setObjectName(QStringLiteral("PickerState"));
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    all_ = Button("PickerAll", tr("Tick &all"));
    none_ = Button("PickerNone", tr("Tick &none"));
    save_ = Button("PickerSave", tr("&Save selected"));
    QPushButton* close = Button("PickerClose", tr("Close"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(eachOnce_);
    filters->addSpacing(16);
    filters->addWidget(hideSmall_);
    filters->addWidget(minWidth_);
    filters->addWidget(new QLabel(QStringLiteral("×")));
    filters->addWidget(minHeight_);
    filters->addStretch();
    filters->addWidget(counts_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(state_, 1);
    for (QPushButton* button : {all_, none_, save_, close})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    setTabOrder(eachOnce_, hideSmall_);
    setTabOrder(hideSmall_, minWidth_);
    setTabOrder(minWidth_, minHeight_);
    setTabOrder(minHeight_, view_);
    setTabOrder(view_, all_);
    resize(900, 640);

    const auto guarded = [this](auto handler) {
        return [this, handler] { toolkit::Guarded(this, handler); };
    };
    connect(eachOnce_, &QCheckBox::toggled, this, guarded([this] { FilterChanged(); }));
    connect(hideSmall_, &QCheckBox::toggled, this, guarded([this] { FilterChanged(); }));
    connect(minWidth_, &QSpinBox::valueChanged, this, guarded([this] { FilterChanged(); }));
    connect(minHeight_, &QSpinBox::valueChanged, this, guarded([this] { FilterChanged(); }));
    connect(model_, &PictureModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.contains(Qt::CheckStateRole))
                    UpdateCounts();
            });
    connect(all_, &QPushButton::clicked, this, guarded([this] { TickShown(true); }));
    connect(none_, &QPushButton::clicked, this, guarded([this] { TickShown(false); }));
    connect(save_, &QPushButton::clicked, this, guarded([this] { SaveSelected(); }));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(view_, &PictureView::tickAll, this, guarded([this] { TickShown(true); }));
    connect(view_, &PictureView::lookCloser, this, [this](const QModelIndex& index) {
        toolkit::Guarded(this, [&] { LookCloser(index.row()); });
    });
    view_->SetFileMaker([this](const QModelIndex& index) { return DragFile(index.row()); });
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    model_->SetMinimum(minWidth_->value(), minHeight_->value());
    FilterChanged();
    view_->setFocus();
}

void PickerWindow::Take(ReadPicture read) {
    ++(picker::Shown(read.picture, shown_->Filter()) ? count_.shown : count_.hidden);
    const extract::PicturePlace place{read.picture.facts.page, read.picture.facts.onPage};
    model_->Append(std::move(read));
    if (toTick_.erase(place) > 0)
        model_->SetTicked(model_->rowCount() - 1, true);
    // The keyboard can begin at once, on the first picture shown.
    if (!view_->currentIndex().isValid() && shown_->rowCount() > 0)
        view_->setCurrentIndex(shown_->index(0, 0));
    UpdateCounts();
}

// A picture found to repeat may leave the pictures shown.
void PickerWindow::TakeRepeat(const FoundRepeat& repeat) {
    const int row = model_->RowOf(repeat.picture);
    if (row < 0)
        return;
    const bool before = picker::Shown(model_->Picture(row), shown_->Filter());
    model_->SetRepeat(repeat);
    const bool after = picker::Shown(model_->Picture(row), shown_->Filter());
    if (before != after) {
        count_.shown += after ? 1 : -1;
        count_.hidden += after ? -1 : 1;
    }
    UpdateCounts();
}

void PickerWindow::ReadingOver(bool whole, const QStringList& problems) {
    reading_ = false;
    if (!problems.isEmpty()) {
        state_->setText(tr("Some pictures could not be listed: %1").arg(problems.first()));
        state_->setToolTip(problems.join(QLatin1Char('\n')));
    } else {
        state_->setText(whole ? tr("Every picture is read.") : tr("The reading stopped."));
    }
    emit readingEnded();
}

PictureCloser* PickerWindow::Closer() const {
    return closer_;
}

bool PickerWindow::Reading() const {
    return reading_;
}

void PickerWindow::FilterChanged() {
    const PictureFilter filter{eachOnce_->isChecked(), hideSmall_->isChecked(), minWidth_->value(),
                               minHeight_->value()};
    model_->SetMinimum(filter.minWidth, filter.minHeight);
    shown_->SetFilter(filter);
    count_ = CountShown(model_->Pictures(), filter);
    UpdateCounts();
}

void PickerWindow::UpdateCounts() {
    const int ticked = static_cast<int>(
        ChosenPlaces(model_->Pictures(), model_->Ticked(), shown_->Filter()).size());
    counts_->setText(
        tr("%1 shown, %2 hidden, %3 ticked").arg(count_.shown).arg(count_.hidden).arg(ticked));
    save_->setEnabled(ticked > 0 && !saving_);
}

void PickerWindow::TickShown(bool ticked) {
    std::vector<int> rows;
    if (ticked) {
        for (int row = 0; row < shown_->rowCount(); ++row)
            rows.push_back(shown_->SourceRow(row));
    } else {
        for (int row = 0; row < model_->rowCount(); ++row)
            rows.push_back(row);
    }
    model_->SetTicked(rows, ticked);
}

void PickerWindow::SaveSelected() {
    const std::vector<extract::PicturePlace> chosen =
        ChosenPlaces(model_->Pictures(), model_->Ticked(), shown_->Filter());
    if (chosen.empty() || Busy() || !setup_.save)
        return;
    setup_.save(chosen);
}

void PickerWindow::SetSaving(bool saving) {
    saving_ = saving;
    UpdateCounts();
    if (!saving && toldToWait_) {
        toldToWait_ = false;
        state_->clear();
    }
}

// Nothing is made on demand while the main window's job runs: the two
// would share the image library.
bool PickerWindow::Busy() {
    if (!saving_ && !(setup_.saving && setup_.saving()))
        return false;
    state_->setText(tr("Wait until the pictures are saved."));
    toldToWait_ = true;
    return true;
}

// Its working folders go with it; a dragged picture's file stays until the
// picker goes, as the program it was handed to may read it later.
void PickerWindow::EndOnDemand() {
    if (!onDemand_)
        return;
    ++onDemandSerial_;
    onDemand_.reset();
    for (const std::string& folder : onDemandFolders_)
        scratch_.Remove(folder);
    onDemandFolders_.clear();
}

OnePictureJob* PickerWindow::MakeOne(extract::JobRequest job, extract::PicturePlace place,
                                     bool load, const std::string& name) {
    EndOnDemand();
    const std::string folder = scratch_.Make();
    const std::string work = scratch_.Make();
    if (folder.empty() || work.empty())
        return nullptr;
    onDemandFolders_ = {work};
    if (load)
        onDemandFolders_.push_back(folder);
    job.inputPath = setup_.request.inputPath;
    job.password = setup_.request.password;
    OnePicture order{OnePictureRequest(std::move(job), place), folder, work, name, load};
    onDemand_ = std::make_unique<OnePictureJob>(setup_.toolFolder, std::move(order));
    return onDemand_.get();
}

void PickerWindow::LookCloser(int shownRow) {
    if (shownRow < 0 || shownRow >= shown_->rowCount() || Busy())
        return;
    const extract::PickedPicture& picture = model_->Picture(shown_->SourceRow(shownRow));
    if (!closer_)
        closer_ = new PictureCloser(this);
    closer_->Await(SpokenName(picture.facts),
                   FactsText(picture, minWidth_->value(), minHeight_->value()));
    closer_->show();
    closer_->raise();
    closer_->activateWindow();
    // Made losslessly, whatever the main window's format.
    extract::JobRequest job;
    job.conversion.formatText = "PNG";
    OnePictureJob* one = MakeOne(job, {picture.facts.page, picture.facts.onPage}, true, {});
    if (!one) {
        closer_->Fail(tr("No private scratch folder could be made for the picture."));
        return;
    }
    connect(one, &OnePictureJob::made, this,
            [this, serial = onDemandSerial_](const QString&, QImage made, const QString& failure) {
                if (serial != onDemandSerial_ || !closer_)
                    return;
                if (made.isNull())
                    closer_->Fail(failure);
                else
                    closer_->Show(std::move(made));
            });
    one->start();
}

QString PickerWindow::DragFile(int shownRow) {
    if (shownRow < 0 || shownRow >= shown_->rowCount() || Busy() || !setup_.job)
        return {};
    const extract::PickedPicture& picture = model_->Picture(shown_->SourceRow(shownRow));
    const extract::PicturePlace place{picture.facts.page, picture.facts.onPage};
    extract::JobRequest job = setup_.job();
    OnePictureJob* one = MakeOne(job, place, false, DraggedName(job.conversion.prefix, place));
    if (!one)
        return {};
    QString path, failure;
    QEventLoop loop;
    connect(one, &OnePictureJob::made, &loop,
            [&](const QString& file, const QImage&, const QString& why) {
                path = file;
                failure = why;
                loop.quit();
            });
    connect(one, &QThread::finished, &loop, &QEventLoop::quit);
    one->start();
    {
        // The window is drawn meanwhile, but takes no clicks or keys.
        toolkit::BusyCursor busy;
        waiting_ = true;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting_ = false;
    }
    if (closeAfterWait_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    if (path.isEmpty())
        state_->setText(failure);
    return path;
}

void PickerWindow::closeEvent(QCloseEvent* event) {
    if (waiting_) {
        closeAfterWait_ = true;
        event->ignore();
        return;
    }
    if (stream_)
        stream_->Stop();
    EndOnDemand();
    QWidget::closeEvent(event);
}

} // namespace picker
