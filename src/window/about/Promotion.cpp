#include "about/Promotion.h"

#include "platform/Shell.h"
#include "text/Windows1252.h"
#include "toolkit/MessageBoxes.h"

#include <QCoreApplication>
#include <initializer_list>

namespace about {

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

std::string FeedbackText() {
    return Lines({"Feedback", "", "  Please click on OK button to send any",
                  "  comments or questions you may have!"});
}

std::string SiblingProductText() {
    return Lines({"How to extract text content from PDF files?", "",
                  "  If your business need a PDF text extraction tool,",
                  "  there is a solution for this.", "", "  Tessaly has been released a free and",
                  "  useful PDF text content extraction software, called", "  Sarnet.", "",
                  "  For further informations and download this software",
                  "  please click on OK button!"});
}

std::string DonationText(const std::string& productName) {
    return Lines({"Donate this FREE software!", "",
                  "  If you like " + productName + " you may like to",
                  "  donate the very small sum of $15.00 or \x80"
                  "15.00 on PayPal",
                  "  to help us keep developing and updating. Thank you!", "",
                  "  Click on OK button to donate."});
}

std::string SocialAddress(const std::string& website) {
    return website + "?social=fb";
}

std::string SiblingProductAddress(const std::string& vendorHost) {
    return "http://" + vendorHost + "/sarnet.html";
}

std::string DonationAddress(const std::string& vendorHost) {
    return "http://" + vendorHost + "/donate-free-software.html";
}

// The three invitations as the window shows them, for translation.
[[maybe_unused]] const char* const kInvitations[] = {
    QT_TRANSLATE_NOOP("about", "Feedback\r\n\r\n  Please click on OK button to send any\r\n"
                               "  comments or questions you may have!\r\n"),
    QT_TRANSLATE_NOOP("about", "How to extract text content from PDF files?\r\n\r\n"
                               "  If your business need a PDF text extraction tool,\r\n"
                               "  there is a solution for this.\r\n\r\n"
                               "  Tessaly has been released a free and\r\n"
                               "  useful PDF text content extraction software, called\r\n"
                               "  Sarnet.\r\n\r\n"
                               "  For further informations and download this software\r\n"
                               "  please click on OK button!\r\n"),
    QT_TRANSLATE_NOOP("about", "Donate this FREE software!\r\n\r\n"
                               "  If you like Arvenzo you may like to\r\n"
                               "  donate the very small sum of $15.00 or €15.00 on PayPal\r\n"
                               "  to help us keep developing and updating. Thank you!\r\n\r\n"
                               "  Click on OK button to donate.\r\n"),
};

void OpenAfterConfirm(QWidget* owner, const std::string& invitation, const std::string& address) {
    const QString shown =
        QCoreApplication::translate("about", text::Windows1252ToUtf8(invitation).c_str());
    if (toolkit::ShowMessage(owner, toolkit::BoxType::Information, shown,
                             toolkit::ButtonSet::OKCancel) == toolkit::Answer::OK)
        platform::OpenWithShell(address);
}

} // namespace about
