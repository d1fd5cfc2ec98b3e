// The About window. It knows nothing of the program: the caller hands it the
// texts and reads back what the user did.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace toolkit {
class ClickableLabel;
}

namespace about {

// What the user asked for by closing the window: a click on a link asks
// for the website, one on the licence's link for the licence.
enum class AboutChoice { Nothing, Website, Licence };

// The statement the main window hands the window, before translation.
extern const char* const kAboutDescription;
// Where the licence link leads.
extern const char* const kLicenceAddress;

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget* owner);

    void SetAboutInfo(const std::string& name, const std::string& version,
                      const std::string& description, const std::string& linkText);
    // Shows the window modally; what the user chose once it has closed.
    AboutChoice ShowAboutDialog();

    void FormActivate();
    void LinkClick();
    void LicenseClick();
    void sBitBtnOKClick();

protected:
    bool event(QEvent* event) override;

private:
    toolkit::ClickableLabel* AddLink(const char* name, int left, int top);

    std::string softwareName_;
    std::string version_;
    std::string description_;
    std::string linkText_;
    AboutChoice choice_ = AboutChoice::Nothing;

    toolkit::ClickableLabel* ImageAppLogo;
    toolkit::ClickableLabel* sLabelSoftwareName;
    toolkit::ClickableLabel* sLabel1;
    toolkit::ClickableLabel* sLabel2;
    toolkit::ClickableLabel* sLabelDescription;
    QLabel* sLabelLicense;
    toolkit::ClickableLabel* sLabelLicenseLink;
    QPushButton* sBitBtnOK;
};

} // namespace about
