// The upload and log-on flows of the browser dialog for the supported download site.
#include "dwin/net/Services.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/ie/IE.h"
#include "qmk/Base.h"
#include "qmk/Report.h"
#include "qmk/dialog/SiteForms.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/extends/MyMenuListener.h"

#include <QMessageBox>
#include <QWidget>

namespace qmk::dialog {

namespace {

using dwin::sys::win32::com::ComPtr;
namespace com = dwin::sys::win32::com;
namespace ie = dwin::sys::win32::ie;

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string escapedHtml(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// How long a loaded form has to show.
constexpr std::uint32_t kFormWaitMs = 10000;

bool isEmpty(const std::optional<std::string>& value)
{
    return !value || value->empty();
}

} // namespace

bool WebBrowserDialog::report(const std::string& message)
{
    report::trace(message);
    return true;
}

void WebBrowserDialog::submitCurrent()
{
    if (base::RecordPtr product = extends::MyMenuListener::isSubmitProductEnabled())
        submit(product);
}

void WebBrowserDialog::submit(const base::RecordPtr& product)
{
    if (!product)
        return;
    const std::string id = getId(*product).value_or("");
    report::trace("submitting product " + id);
    base::RecordPtr row = selectedRecord();
    const std::optional<std::string> cid = row ? getCid(*row) : std::nullopt;
    if (isEmpty(cid)) {
        report("not got cid for " + id);
        return;
    }
    if (isEmpty(getPadLocale(*product))) {
        report("not got pad_locale for " + id);
        return;
    }
    if (isEmpty(getExeLocale(*product))) {
        report("not got exe_locale for " + id);
        return;
    }
    // A category missing from the table shows its id.
    const auto known = categories().find("24|" + *cid);
    const std::string text = known != categories().end() ? known->second : *cid;
    std::string page = uploadForm();
    replaceAll(page, "category_id_value", *cid);
    replaceAll(page, "category_id_text", escapedHtml(text));
    // The waits pump events: the dialog may be gone when one ends, the browser held here is not.
    ComPtr<winapi::IWebBrowser2> browser = browser_;
    std::optional<std::string> failure = loadHtml(page, uploadPageUrl());
    if (!failure && !ie::waitForElementById(browser.get(), "finished", kFormWaitMs, 100))
        failure = "the page did not load within " + std::to_string(kFormWaitMs / 1000) + " seconds";
    if (failure)
        showStatus("upload form not shown: " + *failure);
}

void WebBrowserDialog::logOn(const std::string& url)
{
    if (url.find(logOnPageUrl()) == std::string::npos)
        return;
    const std::string domain = dwin::net::downloadSiteDomain();
    // The waits pump events: the dialog may be gone when one ends, the browser held here is not.
    ComPtr<winapi::IWebBrowser2> browser = browser_;
    loadHtml(logOnForm(), logOnPageUrlWithSiteId());
    if (instance() != this)
        return;
    const std::optional<std::string> user = userName();
    const std::optional<std::string> pass = password();
    if (isEmpty(user) || isEmpty(pass)) {
        report("simtel username or password not setted");
        return;
    }
    if (!ie::waitForElementById(browser.get(), "finished", 30000, 100)) {
        showStatus(domain + " not found id finished");
        return;
    }
    const auto emails = com::getElementsByName(browser.get(), "email");
    if (emails.empty()) {
        showStatus(domain + " not found email node");
        return;
    }
    const auto passwords = com::getElementsByName(browser.get(), "password");
    if (passwords.empty()) {
        report("simtel not found password node");
        return;
    }
    const auto logons = com::getElementsByName(browser.get(), "logon");
    if (logons.empty()) {
        report(domain + " not found logon button");
        return;
    }
    com::setAttribute(emails.front().get(), "value", user, 0);
    com::setAttribute(passwords.front().get(), "value", pass, 0);
    logons.front()->click();
    dwin::sys::win32::Process::wait(5000);
    if (!ie::waitForTitle(browser.get(), "My Account", 30000))
        return;
    if (instance() != this)
        return;
    base::RecordPtr product = extends::MyMenuListener::isSubmitProductEnabled();
    if (product &&
        QMessageBox::question(shell_, QString::fromStdString(getId(*product).value_or("")),
                              "Do you want to submit now",
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        if (instance() == this)
            submit(product);
        return;
    }
    if (instance() == this)
        navigate(uploadPageUrl());
}

} // namespace qmk::dialog
