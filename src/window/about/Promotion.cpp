#include "about/Promotion.h"

#include "platform/platform.h"
#include "text/Windows1252.h"
#include "toolkit/MessageBoxes.h"

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

void OpenAfterConfirm(QWidget* owner, const std::string& invitation, const std::string& address) {
    const QString shown = QString::fromUtf8(text::Windows1252ToUtf8(invitation));
    if (toolkit::ShowMessage(owner, toolkit::BoxType::Information, shown,
                             toolkit::ButtonSet::OKCancel) == toolkit::Answer::OK)
        platform::OpenWithShell(address);
}

} // namespace about
