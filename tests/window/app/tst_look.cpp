// What a person sees and a screen reader hears: every text whole inside its
// control, names that say what each control is, a visible focus. CTest runs
// this at several QT_SCALE_FACTOR values, in each language (LANGUAGE).
#include "WindowTests.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "online/DownloadManager.h"
#include "support/TestSupport.h"
#include "toolkit/PathEdits.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolButton>

namespace {

QWidget* Named(QWidget* window, const QString& name) {
    if (window->objectName() == name)
        return window;
    auto* found = window->findChild<QWidget*>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

QRect InWindow(QWidget* widget, const QRect& rect) {
    return rect.translated(widget->mapTo(widget->window(), QPoint(0, 0)));
}

// The room the control gives its text, and the size the text needs there.
struct Fit {
    QRect room;
    QSize needed;
};

Fit TextFit(QWidget* widget) {
    const QFontMetrics metrics = widget->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QStringList lines = label->text().split('\n');
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const int high = metrics.height() + (lines.size() - 1) * metrics.lineSpacing();
        return {label->contentsRect(), {widest, high}};
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        return {room, {metrics.horizontalAdvance(box->text()), metrics.height()}};
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        QSize need(metrics.horizontalAdvance(button->text()), metrics.height());
        if (!button->icon().isNull())
            need = {need.width() + button->iconSize().width() + 4,
                    std::max(need.height(), button->iconSize().height())};
        return {room, need};
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, group);
        return {title.intersected(group->rect()),
                {metrics.horizontalAdvance(group->title()), metrics.height()}};
    }
    qFatal("no rule for %s", widget->metaObject()->className());
}

QString Tr(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}

QString Size(QSize size) {
    return QString("%1x%2").arg(size.width()).arg(size.height());
}

void VerifyFits(QWidget* widget, const QString& text) {
    const Fit fit = TextFit(widget);
    QVERIFY2(
        fit.needed.boundedTo(fit.room.size()) == fit.needed,
        qPrintable(QString("%1 \"%2\" needs %3, has %4")
                       .arg(widget->objectName(), text, Size(fit.needed), Size(fit.room.size()))));
}

// The part of a list box that shows the chosen item.
QRect ShownItem(QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                        box);
}

void VerifyItemsFit(QComboBox* box) {
    const QRect room = ShownItem(box);
    for (int i = 0; i < box->count(); ++i)
        QVERIFY2(box->fontMetrics().horizontalAdvance(box->itemText(i)) <= room.width(),
                 qPrintable(box->itemText(i)));
}

// The control lies whole inside `frame`'s contents, as the window shows it.
void VerifyInside(QWidget* control, QWidget* frame) {
    const QRect outer = InWindow(frame, frame->contentsRect());
    const QRect inner = InWindow(control, control->rect());
    QVERIFY2(outer.contains(inner),
             qPrintable(control->objectName() + " leaves " + frame->objectName()));
}

// Tabs once round the window; each control that took the focus must look
// different with it than without it.
void VerifyFocusShows(QWidget* window) {
    QTest::keyClick(window, Qt::Key_Tab); // the focus now moves by the keyboard
    QList<QWidget*> seen;
    for (int step = 0; step < 40; ++step) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (seen.contains(focused))
            return;
        seen.append(focused);
        const QImage with = focused->grab().toImage();
        QTest::keyClick(window, Qt::Key_Tab);
        if (QApplication::focusWidget() == focused)
            return; // the only stop
        const QString what =
            QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Name);
        QVERIFY2(focused->grab().toImage() != with,
                 qPrintable(QString("no focus mark on ") + focused->metaObject()->className() +
                            " " + focused->objectName() + " \"" + what + "\""));
    }
}

} // namespace

class LookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window_;

    QWidget* Find(const QString& name) { return Named(window_->form.get(), name); }

    // Runs `check` on the About window while it is up, then closes it.
    void WithAbout(const std::function<void(QWidget*)>& check) {
        testing::ModalAnswerer answerer;
        answerer.Next([&](QWidget* about) {
            QTRY_COMPARE(about->windowTitle(),
                         Tr("about::TAboutDialog", "About %1").arg("Arvenzo"));
            check(about);
            QTest::keyClick(about, Qt::Key_Escape);
        });
        window_->form->findChild<QAction*>("About1")->trigger();
        QCOMPARE(answerer.Pending(), 0);
    }

private slots:
    void initTestCase() {
        // The language asked for is the one spoken, English by default.
        const QString wanted = qEnvironmentVariable("LANGUAGE").left(2);
        const QString spoken = app::InstallTranslations(*QCoreApplication::instance());
        QCOMPARE(spoken, wanted == "en" ? QString() : wanted);
    }
    void init() {
        window_ = std::make_unique<WindowUnderTest>("12.10.3");
        QVERIFY(window_->ShowActive());
    }
    void cleanup() { window_.reset(); }

    void mainWindowTextsFit_data() {
        // The frame must hold the control whole.
        NameTable<2>({"control", "frame"},
                     {{"sGroupBox1", "sPanel1"},
                      {"sGroupBox4", "sPanel1"},
                      {"sLabel1", "sGroupBox1"},
                      {"sLabel2", "sGroupBox1"},
                      {"sLabel3", "sGroupBox1"},
                      {"sLabel4", "sGroupBox4"},
                      {"sLabel5", "sGroupBox4"},
                      {"sLabel6", "sGroupBox4"},
                      {"sComboBoxFormat", "sGroupBox4"},
                      {"sCheckBoxOpenAfter", "sGroupBox4"},
                      {"sBitBtnPlayVideo", "sPanel1"}, // the group grows when it shows
                      {"sBitBtnGetProVersion", "sPanel1"},
                      {"sBitBtnStart", "sPanel1"},
                      {"PickPicturesButton", "Panel1"},
                      {"ImageDonate", "StatusPanel1"},
                      {"sGaugeProcess", "StatusPanel2"},
                      {"sLabelFXWebpage", "StatusPanel3"}});
    }
    void mainWindowTextsFit() {
        QFETCH(QString, control);
        QFETCH(QString, frame);
        QWidget* widget = Find(control);
        VerifyInside(widget, Find(frame));
        if (auto* box = qobject_cast<QComboBox*>(widget)) {
            VerifyItemsFit(box);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QStringList captions{button->text()};
            if (control == "sBitBtnStart") // while and after an extraction
                captions << Tr("extract::ExtractionControl", "Stop Extraction")
                         << Tr("extract::ExtractionControl", "Start Extraction");
            for (const QString& caption : captions) {
                button->setText(caption);
                VerifyFits(button, caption);
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            VerifyFits(group, group->title());
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
            VerifyFits(label, label->text());
        }
    }

    // A name label stands on its edit's text line and ends clear of the edit.
    void labelsStandOnTheirEditsLine_data() {
        NameTable<2>({"label", "edit"}, {{"sLabel1", "sEditPageCount"},
                                         {"sLabel2", "sEditPageRange"},
                                         {"sLabel4", "sDirectoryEditOutput"},
                                         {"sLabel6", "sEditOutputPrefix"},
                                         {"sLabel5", "sComboBoxFormat"}});
    }
    void labelsStandOnTheirEditsLine() {
        QFETCH(QString, label);
        QFETCH(QString, edit);
        auto* name = qobject_cast<QLabel*>(Find(label));
        QWidget* field = Find(edit);
        const QRect text =
            InWindow(name, QStyle::alignedRect(name->layoutDirection(), name->alignment(),
                                               name->fontMetrics().size(0, name->text()),
                                               name->contentsRect()));
        QVERIFY2(text.right() + 2 < InWindow(field, field->rect()).left(), "touches its edit");
        // The edit's text line: where its cursor stands.
        QWidget* line = field;
        if (auto* path = qobject_cast<toolkit::PathEdit*>(field))
            line = path->lineEdit();
        QRect cursor = line->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        if (auto* box = qobject_cast<QComboBox*>(field))
            cursor = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignLeft | Qt::AlignVCenter,
                                         QSize(1, box->fontMetrics().height()), ShownItem(box));
        const int lineMiddle = InWindow(line, cursor).center().y();
        QVERIFY2(qAbs(text.center().y() - lineMiddle) <= 1,
                 qPrintable(QString("label middle %1, text line middle %2")
                                .arg(text.center().y())
                                .arg(lineMiddle)));
    }

    void aboutTextsFit() {
        WithAbout([](QWidget* about) {
            QWidget* bevel = Named(about, "sBevel1");
            for (const char* name : {"ImageAppLogo", "sLabelSoftwareName", "sLabel1", "sLabel2",
                                     "sLabelDescription", "sLabelLicense", "sLabelLicenseLink"}) {
                QWidget* widget = Named(about, name);
                VerifyInside(widget, bevel);
                VerifyFits(widget, widget->property("text").toString());
            }
            VerifyFits(Named(about, "sBitBtnOK"), Tr("about::TAboutDialog", "OK"));
        });
    }

    void downloadWindowTextsFit() {
        online::TDownloadForm download(window_->form.get(), "127.0.0.1:9");
        download.show();
        auto* status = download.findChild<QLabel*>("sStickyLabelStatus");
        VerifyFits(status, status->text());
        download.IdHTTP1WorkBegin(0);
        VerifyFits(status, status->text());
        VerifyInside(status, &download);
        VerifyFits(download.findChild<QPushButton*>("sBitBtnCancel"),
                   Tr("online::TDownloadForm", "Cancel"));
    }

    // Read as a screen reader reads them: each control's accessible
    // interface, its name and its value.
    void controlsAreNamed_data() {
        // The part of a path edit is its text or its browse button.
        NameTable<4>({"control", "part", "name", "value"},
                     {{"sComboBoxFormat", "", "Format", "Original"},
                      {"sFilenameEditInput", "text", "Input PDF file", ""},
                      {"sFilenameEditInput", "browse", "Choose input PDF file", ""},
                      {"sDirectoryEditOutput", "text", "Output folder", "/tmp/out"},
                      {"sDirectoryEditOutput", "browse", "Choose output folder", ""},
                      {"sEditPageRange", "", "Page Range:", ""}},
                     2);
    }
    void controlsAreNamed() {
        QFETCH(QString, control);
        QFETCH(QString, part);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QWidget* widget = Find(control);
        if (auto* path = qobject_cast<toolkit::PathEdit*>(widget)) {
            path->setText(value);
            widget = part == "browse" ? static_cast<QWidget*>(path->browseButton())
                                      : static_cast<QWidget*>(path->lineEdit());
        }
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(spoken->text(QAccessible::Name), Tr("app::TMainForm", qPrintable(name)));
        QCOMPARE(spoken->text(QAccessible::Value), value);
    }

    void formatValueFollowsTheChoice() {
        auto* box = qobject_cast<QComboBox*>(Find("sComboBoxFormat"));
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(spoken->role(), QAccessible::ComboBox);
        box->setCurrentIndex(3);
        QCOMPARE(spoken->text(QAccessible::Name), Tr("app::TMainForm", "Format"));
        QCOMPARE(spoken->text(QAccessible::Value), QString("JPEG-2000"));
    }

    // Whatever a person can reach or read has a name a reader can speak.
    void everyControlHasAName() {
        for (QWidget* widget : window_->form->findChildren<QWidget*>()) {
            const bool control = widget->focusPolicy() != Qt::NoFocus ||
                                 qobject_cast<QAbstractButton*>(widget) ||
                                 qobject_cast<QProgressBar*>(widget);
            if (!control || !widget->isVisibleTo(window_->form.get()) ||
                widget->inherits("QMenuBar") || widget->inherits("QMenu"))
                continue;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(!spoken->text(QAccessible::Name).isEmpty(),
                     qPrintable(QString(widget->metaObject()->className()) + " " +
                                widget->objectName()));
        }
    }

    void focusIsVisible() { VerifyFocusShows(window_->form.get()); }

    void focusIsVisibleInAbout() {
        WithAbout([](QWidget* about) { VerifyFocusShows(about); });
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
