// PLACEHOLDER: the harvest and listing check replace these.
#include "qmk/Base.h"

namespace qmk {

bool isNewSite(const std::string&) { return true; }
std::string categoryPageUrl(const std::string&) { return {}; }
int getIndex(const std::string&, const std::string&) { return 0; }

}  // namespace qmk
