#pragma once
// The page-visit request sent after one of the maker's pages has been opened.

namespace vorn::Soft {

// One GET of the maker's page-visit address (vorn::Texts::pageVisitUrl, on QMK_MAKER_URL); the
// reply is not looked at. Throws dwin::net::HttpException when the request fails; callers
// ignore that failure.
void visitPage();

} // namespace vorn::Soft
