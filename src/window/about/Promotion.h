// The commands that send the user to the vendor's pages.
#pragma once

#include <string>

class QWidget;

namespace about {

// The texts of the three invitations, Windows-1252, lines joined and ended
// with CR LF.
std::string FeedbackText();
std::string SiblingProductText();
std::string DonationText(const std::string& productName);

std::string SocialAddress(const std::string& website);
std::string SiblingProductAddress(const std::string& vendorHost);
std::string DonationAddress(const std::string& vendorHost);

// Shows the invitation with OK and Cancel, and opens `address` on OK.
void OpenAfterConfirm(QWidget* owner, const std::string& invitation, const std::string& address);

} // namespace about
