// The two path edits of the main window: a line that cannot be typed into,
// with a browse button that runs a picker. The text changes only through the
// picker, a dropped file (file edit only) or code, and every real change
// raises changed().
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QToolButton;

namespace toolkit {

class PathEdit : public QWidget {
    Q_OBJECT
public:
    // Gets the start path; returns the choice, or nothing when the user
    // cancelled.
    using Picker = std::function<std::optional<QString>(QWidget* parent, const QString& start)>;

    PathEdit(Picker picker, QWidget* parent);
    void setPicker(Picker picker) { picker_ = std::move(picker); }

    QString text() const;
    // Setting the text it already has raises nothing.
    void setText(const QString& text);

    QLineEdit* lineEdit() const { return line_; }
    QToolButton* browseButton() const { return browse_; }

    // What the browse button does, for code that presses it.
    void pressBrowseButton();

    // What a screen reader calls the text and the browse button.
    void setSpokenNames(const QString& text, const QString& browse);

signals:
    void changed();
    // A click in the text area; the browse button does not raise it.
    void clicked();
    // The picker has closed; the text is set after this.
    void afterDialog();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Where the picker starts, given the last choice made with it.
    virtual QString PickerStart(const QString& lastChosen) const = 0;
    // The text once the user has cancelled a picker that started at `start`.
    virtual QString TextAfterCancel(const QString& start) const = 0;

private:
    QLineEdit* line_;
    QToolButton* browse_;
    Picker picker_;
    QString lastChosen_;
};

// The input document: a PDF file picker, and files dropped from the desktop.
class TFilenameEdit : public PathEdit {
    Q_OBJECT
public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    static QString Filter();

protected:
    QString PickerStart(const QString& lastChosen) const override;
    QString TextAfterCancel(const QString& start) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The output folder: a folder picker.
class TDirectoryEdit : public PathEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

protected:
    QString PickerStart(const QString& lastChosen) const override;
    QString TextAfterCancel(const QString& start) const override;
};

} // namespace toolkit
