#pragma once
// The supported download site's pages as the browser dialog uses them: their addresses (on the
// site's base address, QMK_DOWNLOAD_SITE_URL when set) and the program's own copies of its
// log-on and upload forms. A form's action is its page address followed by "[SiteID]" and the
// site's domain.
#include <string>

namespace qmk::dialog {

std::string logOnPageUrl();
// logOnPageUrl with "?SiteID=" and the site's domain.
std::string logOnPageUrlWithSiteId();
std::string uploadPageUrl();
// The page address followed by the "[SiteID]" marker and the domain.
std::string formAction(const std::string& pageUrl);

// The log-on form: fields "email", "password", "autoLogOn", image buttons "logon" and
// "register", then an empty element with id "finished".
std::string logOnForm();
// The upload form (multipart): "minimum_os_id" with "Win 2000/NT" selected, "category_id" with
// the one option "category_id_value" / "category_id_text" for the caller to replace, the file
// fields "pad_file" and "program_file", the image button "submit", then "finished".
std::string uploadForm();

} // namespace qmk::dialog
