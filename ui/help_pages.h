// The shipped help pages (data/help/*.html), opened in the desktop's browser.
#pragma once

#include <string>

namespace zt {

inline constexpr const char* kUserGuidePage = "user-guide.html";
inline constexpr const char* kFormulaLanguagePage = "formula-language.html";

// The page's address, at the anchor `topic` when one is given.
std::string HelpPageAddress(const char* page, const std::string& topic = "");
// Opens the page; a missing page or browser shows "Could not open '%s'".
// User-interface thread.
void OpenHelpPage(const char* page, const std::string& topic = "");

}  // namespace zt
