// PLACEHOLDER: the command set replaces these.
#include "qmk/Base.h"

namespace qmk {

std::string queryPageRank(const std::string&) { return {}; }
std::string getPageRank(const std::string&) { return {}; }
bool updatePageRank(const std::string&, base::BaseRecord&) { return false; }
bool updateRecordPageRank(const base::RecordPtr&, ViewerRecords&) { return false; }
bool updatePageRankInCurrentTab(const base::RecordPtr&) { return false; }
std::optional<std::string> cellUrl() { return {}; }
std::optional<std::string> readXmlTag(const std::string&, const std::string&) { return {}; }
std::optional<std::string> readPad(const std::string&, const std::string&) { return {}; }
void copyToClipboard(const std::string&) {}
void copyText(const std::string&) {}
std::optional<std::string> userNameOf(const base::RecordPtr&) { return {}; }
std::optional<std::string> passwordOf(const base::RecordPtr&) { return {}; }
std::optional<std::string> userName(const std::string&) { return {}; }
std::optional<std::string> password(const std::string&) { return {}; }
std::optional<std::string> getSimtelCid(std::string_view) { return {}; }
std::optional<std::string> getCid(const base::BaseRecord&) { return {}; }
bool isDigits(std::string_view) { return false; }

}  // namespace qmk
