#include "qmk/dialog/SiteForms.h"

#include "dwin/net/Services.h"

namespace qmk::dialog {

namespace {

using dwin::net::Service;

std::string siteUrl(const char* path)
{
    return dwin::net::serviceUrl(Service::DownloadSite) + path;
}

const char* const kHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"\n"
    "\t\"http://www.w3.org/TR/REC-html40/loose.dtd\">\n"
    "<html>\n"
    "<head>\n"
    "<meta http-equiv=\"Content-Language\" content=\"en-us\">\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";

} // namespace

std::string logOnPageUrl()
{
    return siteUrl("/account.logon.php");
}

std::string logOnPageUrlWithSiteId()
{
    return logOnPageUrl() + "?SiteID=" + dwin::net::downloadSiteDomain();
}

std::string uploadPageUrl()
{
    return siteUrl("/author.submit_software.upload.php");
}

std::string formAction(const std::string& pageUrl)
{
    return pageUrl + "[SiteID]" + dwin::net::downloadSiteDomain();
}

std::string logOnForm()
{
    return std::string(kHead) +
        "<title>Log On</title>\n"
        "</head>\n"
        "<body>\n"
        "<form name=\"frmCustomerLogon\" method=\"post\" action=\"" +
        formAction(logOnPageUrl()) +
        "\">\n"
        "<input type=\"hidden\" name=\"action\" value=\"POST\">\n"
        "<input type=\"hidden\" name=\"next\" value=\"\">\n"
        "<input type=\"hidden\" name=\"url\" value=\"\">\n"
        "Email address <span id=\"required\">*</span><br>\n"
        "<input type=\"text\" name=\"email\" value=\"\" size=\"32\" maxlength=\"64\" "
        "style=\"width: 30%;\">\n"
        "<br>Password<br>\n"
        "<input type=\"password\" name=\"password\" size=\"30\" value=\"\" autocomplete=\"off\" "
        "maxlength=\"64\">\n"
        "<br>\n"
        "<input type=\"checkbox\" name=\"autoLogOn\" id=\"autoLogOn\">\n"
        "<input type=\"image\" name=\"logon\" width=\"68\" height=\"15\" border=\"0\">\n"
        "<input type=\"image\" name=\"register\" width=\"68\" height=\"15\" border=\"0\">\n"
        "</form>\n"
        "<span id=\"finished\"/>\n"
        "</body>\n"
        "</html>\n";
}

std::string uploadForm()
{
    return std::string(kHead) +
        "<title>Free downloads of the best computer software freeware and shareware</title>\n"
        "</head>\n"
        "<body>\n"
        "<form enctype=\"multipart/form-data\" method=\"POST\" action=\"" +
        formAction(uploadPageUrl()) +
        "\" name=\"frm\">\n"
        "<input type=\"hidden\" name=\"action\" value=\"POST\">\n"
        "<input type=\"hidden\" name=\"MAX_FILE_SIZE\" value=\"134217728\">\n"
        "<br>Min. Operation System: \n"
        "<select name=\"minimum_os_id\" style=\"width: 30%\">\n"
        "<option value=\"20\">Handheld</option>\n"
        "<option value=\"21\">MS-DOS</option>\n"
        "<option value=\"24\" selected>Win 2000/NT</option>\n"
        "<option value=\"23\">Win 95/98/ME</option>\n"
        "<option value=\"22\">Windows 3.1</option>\n"
        "<option value=\"25\">Windows XP</option>\n"
        "</select>\n"
        "<br>Category: \n"
        "<select name=\"category_id\" style=\"width: 30%\">\n"
        "<option value=\"category_id_value\" selected>category_id_text</option>\n"
        "</select>\n"
        "<br>PAD file: \n"
        "<input type=\"file\" name=\"pad_file\" size=\"48\" maxlength=\"128\" value=\"\">\n"
        "<br>Program file: \n"
        "<input type=\"file\" name=\"program_file\" size=\"48\" maxlength=\"128\" value=\"\">\n"
        "<br>\n"
        "<input type=\"image\" name=\"submit\" width=\"68\" height=\"30\" border=\"0\">\n"
        "</form>\n"
        "<span id=\"finished\"/>\n"
        "</body>\n"
        "</html>\n";
}

} // namespace qmk::dialog
