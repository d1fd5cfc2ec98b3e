// The picker's grid of thumbnails: arrows move, Space ticks, Ctrl+A ticks
// every picture shown, Enter or a double click looks closer, and a
// thumbnail dragged out is handed over as a file.
#pragma once

#include <QListView>
#include <functional>

namespace picker {

class PictureView : public QListView {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Makes the file a dragged picture becomes, waiting for it; an empty
    // path when there is none, and then nothing is dragged.
    using FileMaker = std::function<QString(const QModelIndex& index)>;
    void SetFileMaker(FileMaker maker) { fileMaker_ = std::move(maker); }

signals:
    void lookCloser(const QModelIndex& index);
    void tickAll();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void ToggleCurrent();
    bool OnCheckBox(const QModelIndex& index, const QPoint& at) const;

    FileMaker fileMaker_;
};

} // namespace picker
