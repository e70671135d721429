#pragma once
// Column sorting of a table view: the comparison of two values as lower-cased text, and the
// three-state header click (ascending, descending, list order).
#include "qmk/base/BaseRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace qmk::extends {

class ColumnSorter {
public:
    static constexpr int ASC = 1;
    static constexpr int DESC = -1;
    static constexpr int NONE = 0;

    // The text lower-cased by the Unicode mapping (UTF-8 in, UTF-8 out).
    static std::string lowerKey(std::string_view text);
    // The two texts lower-cased and compared byte by byte (unsigned); a prefix sorts first.
    // Numbers are not compared as numbers: "10" < "9".
    static int compareValues(std::string_view a, std::string_view b);
    // compareValues of the two records' values of the property; 0 when either is null or the
    // property is empty.
    static int compareRecords(const base::BaseRecord* a, const base::BaseRecord* b,
                              const std::string& property);

    // The header click on column: the active column (-1 for none) and its direction change as
    // the click asks. A click on the active column goes ASC -> DESC -> NONE; any other column
    // starts at ASC.
    void onColumnSelected(int column);
    int activeColumn() const { return active_; }
    int direction() const { return direction_; }
    void setSorter(int column, int direction);

private:
    int active_ = -1;
    int direction_ = NONE;
};

} // namespace qmk::extends
