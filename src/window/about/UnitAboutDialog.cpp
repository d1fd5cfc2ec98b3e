#include "about/UnitAboutDialog.h"

#include "toolkit/ClickableLabel.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/FocusMark.h"
#include "toolkit/Fonts.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Pictures.h"

#include <QEvent>
#include <QFrame>
#include <QPushButton>

namespace about {

// Lines short enough for the room right of the logo.
const char* const kAboutDescription =
    QT_TRANSLATE_NOOP("about::TAboutDialog", "Free for personal and commercial use.\r\n"
                                             "It saves every picture of a PDF document\r\n"
                                             "as an ordinary image file.\r\n"
                                             "No registration, no time limit.");

const char* const kLicenceAddress = "https://www.gnu.org/licenses/agpl-3.0.html";

namespace {

const char* const kCopyright = "Copyright \xc2\xa9 2026 Tessaly.";

QString Shown(const std::string& text) {
    return toolkit::FromProgramText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

TAboutDialog::TAboutDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(414, 262);
    const QFont base = toolkit::WindowFont();
    setFont(base);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("sBevel1"));
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setGeometry(12, 12, 390, 197);

    ImageAppLogo = AddLink("ImageAppLogo", 22, 24);
    ImageAppLogo->setPixmap(toolkit::LogoPicture(QSize(128, 128)));
    ImageAppLogo->resize(128, 128);
    ImageAppLogo->setAccessibleName(tr("Arvenzo logo"));

    sLabelSoftwareName = AddLink("sLabelSoftwareName", 166, 28);
    sLabelSoftwareName->setFont(toolkit::PointFont(base, 9, true));
    sLabel1 = AddLink("sLabel1", 170, 52);
    sLabel2 = AddLink("sLabel2", 170, 70);
    sLabelDescription = AddLink("sLabelDescription", 170, 96);
    // The licence's own link opens the licence, not the website.
    sLabelLicense = new QLabel(this);
    sLabelLicense->setObjectName(QStringLiteral("sLabelLicense"));
    sLabelLicense->move(22, 158); // below the logo, across the window
    sLabelLicenseLink = new toolkit::ClickableLabel(this);
    sLabelLicenseLink->setObjectName(QStringLiteral("sLabelLicenseLink"));
    sLabelLicenseLink->move(22, 186);
    QFont underlined = base;
    underlined.setUnderline(true);
    sLabelLicenseLink->setFont(underlined);
    connect(sLabelLicenseLink, &toolkit::ClickableLabel::clicked, this,
            [this] { toolkit::Guarded(this, [this] { LicenseClick(); }); });

    sBitBtnOK = new toolkit::MarkedButton(tr("OK"), this);
    sBitBtnOK->setObjectName(QStringLiteral("sBitBtnOK"));
    sBitBtnOK->setGeometry(167, 222, 80, 28);
    connect(sBitBtnOK, &QPushButton::clicked, this,
            [this] { toolkit::Guarded(this, [this] { sBitBtnOKClick(); }); });
}

toolkit::ClickableLabel* TAboutDialog::AddLink(const char* name, int left, int top) {
    auto* link = new toolkit::ClickableLabel(this);
    link->setObjectName(QLatin1String(name));
    link->move(left, top);
    QPalette black = link->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    link->setPalette(black);
    connect(link, &toolkit::ClickableLabel::clicked, this,
            [this] { toolkit::Guarded(this, [this] { LinkClick(); }); });
    return link;
}

void TAboutDialog::SetAboutInfo(const std::string& name, const std::string& version,
                                const std::string& description, const std::string& linkText) {
    softwareName_ = name;
    version_ = version;
    description_ = description;
    linkText_ = linkText;
}

AboutChoice TAboutDialog::ShowAboutDialog() {
    exec();
    return choice_;
}

bool TAboutDialog::event(QEvent* e) {
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate)
        toolkit::Guarded(this, [this] { FormActivate(); });
    return handled;
}

void TAboutDialog::FormActivate() {
    const QString name = toolkit::FromProgramText(softwareName_);
    setWindowTitle(tr("About %1").arg(name));
    sLabelSoftwareName->setText(toolkit::FromProgramText(softwareName_ + " " + version_));
    sLabel1->setText(QString::fromUtf8(kCopyright));
    sLabel2->setText(toolkit::FromProgramText(linkText_));
    sLabelDescription->setText(Shown(description_));
    sLabelLicense->setText(tr("%1 is free software under the GNU AGPL,\n"
                              "version 3 or later, and comes without warranty.")
                               .arg(name));
    sLabelLicenseLink->setText(tr("Read the licence"));
    for (QLabel* label : {static_cast<QLabel*>(sLabelSoftwareName), static_cast<QLabel*>(sLabel1),
                          static_cast<QLabel*>(sLabel2), static_cast<QLabel*>(sLabelDescription),
                          sLabelLicense, static_cast<QLabel*>(sLabelLicenseLink)})
        label->adjustSize();
    sBitBtnOK->setFocus();
}

void TAboutDialog::LinkClick() {
    choice_ = AboutChoice::Website;
    accept();
}

void TAboutDialog::LicenseClick() {
    choice_ = AboutChoice::Licence;
    accept();
}

void TAboutDialog::sBitBtnOKClick() {
    accept();
}

} // namespace about
