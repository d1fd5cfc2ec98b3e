// One picture shown large, with its facts: fitted to the window, or pixel
// for pixel on request.
#pragma once

#include <QDialog>
#include <QImage>

class QCheckBox;
class QLabel;
class QScrollArea;

namespace picker {

// Draws the picture fitted to its room, or at its own size.
class PictureCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PictureCanvas(QWidget* parent = nullptr);
    void SetPicture(QImage picture);
    const QImage& Picture() const { return picture_; }
    // The picture's rectangle as drawn.
    QRect Drawn() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

class PictureCloser : public QDialog {
    Q_OBJECT
public:
    explicit PictureCloser(QWidget* owner);

    // A picture is on its way: its name and facts, and a word that it comes.
    void Await(const QString& name, const QString& facts);
    void Show(QImage picture);
    void Fail(const QString& failure);

    bool ActualSize() const;
    const QImage& Picture() const;

private:
    void ShowActualSize(bool actual);

    QScrollArea* area_;
    PictureCanvas* canvas_;
    QLabel* state_;
    QLabel* facts_;
    QCheckBox* actualSize_;
};

} // namespace picker
