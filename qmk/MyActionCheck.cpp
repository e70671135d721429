#include "dwin/net/Services.h"
#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MessageDialog.h"
#include "qmk/MyAction.h"
#include "qmk/Report.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace qmk::MyAction {

void CheckUpdateAction::run()
{
    showStatus("");
    checkUpdate();
}

void CheckUpdateAction::checkUpdate()
{
    try {
        DB& db = DB::getInstance();
        const std::string domain = dwin::net::downloadSiteDomain();
        std::vector<std::string> lines;
        for (const std::string& product : db.idsByRank()) {
            std::optional<std::string> listedUrl = db.getListedUrl(product, domain);
            if (!listedUrl) {
                showStatus("not got listed_Url from db for " + product);
                return;
            }
            std::optional<std::string> cid = getSimtelCid(*listedUrl);
            if (!cid) {
                showStatus("incorrect url format: " + *listedUrl);
                continue;
            }
            int position = getIndex(categoryPageUrl(*cid), product);
            if (position == 0)
                position = 99;
            char number[16];
            std::snprintf(number, sizeof number, "%02d", position);
            lines.push_back(number + ("\t" + product));
        }
        if (lines.empty())
            return;
        std::sort(lines.begin(), lines.end());
        std::reverse(lines.begin(), lines.end());
        std::string text;
        for (const std::string& line : lines)
            text += (text.empty() ? "" : "\r\n") + line;
        MessageDialog::openInformation("result", text);
    } catch (const std::exception& e) {
        report::trace(std::string("checkUpdate catch ") + e.what());
    }
}

} // namespace qmk::MyAction
