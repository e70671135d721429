#pragma once
// The category table of the download site's upload form. Keys are a minimum-system id, "|" and
// a category id ("24|152"); values a group name, " | " and the category name
// ("Internet | HTML Tools"). Only the "24" (Win 2000/NT) section is looked up.
#include <string>
#include <unordered_map>

namespace qmk::dialog {

using CategoryTable = std::unordered_map<std::string, std::string>;

// Adds every entry of the table (existing keys are overwritten).
void buildCategoryTable(CategoryTable& table);

} // namespace qmk::dialog
