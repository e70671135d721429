#pragma once
// The built-in texts that are stored scrambled, each turned back into text through
// vorn::Crypt::unscramble when asked for. The maker's addresses are built on
// dwin::net::serviceUrl(Service::Maker) (only their paths are stored), so QMK_MAKER_URL moves them.

#include <string>

namespace vorn::Texts {

std::string productName(); // the product's name, also the main window's title
std::string windowTitle(); // the main window's title
std::string aboutTitle(); // the About dialog's title-area heading
std::string aboutMessage(); // the About dialog's message under the heading
std::string makerHomeUrl(); // the maker's home page (About link text, openHomePage)
std::string makerHelpUrl(); // the maker's help address (openHelpPage; same stored address as home)
std::string firstProductName(); // the maker's first other product (menu text)
std::string firstProductUrl(); // its web page
std::string secondProductName(); // the maker's second other product (menu text)
std::string secondProductUrl(); // its web page
std::string pageVisitUrl(); // the page-visit request's address
std::string excludedSource(); // the one scrambled entry of the excluded link sources

} // namespace vorn::Texts
