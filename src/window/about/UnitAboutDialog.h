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

// The window's values, one set for the whole program.
extern std::string AboutSoftwareName;
extern std::string AboutVersion;
extern std::string AboutDescription;
extern std::string AboutLinkText;
// "gotoweb" after a click on a link, "gotolicense" after one on the licence
extern std::string AboutAction;

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
    // Shows the window modally; the action once it has closed.
    std::string ShowAboutDialog();

    void FormActivate();
    void LinkClick();
    void LicenseClick();
    void sBitBtnOKClick();

protected:
    bool event(QEvent* event) override;

private:
    toolkit::ClickableLabel* AddLink(const char* name, int left, int top);

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
