// The statement list of the manual 3B generator: what "Add" and "Delete" do to it, without the
// dialog around it.
#pragma once

#include <string>
#include <vector>

#include "code/writer.h"

namespace korvex {

class Manual3BList {
public:
    // Builds the statement text and inserts it after row `selected`, or appends it when no row
    // (or a row that does not exist) is selected. Returns the new statement's row, or -1 when
    // the direction or code is not one of the lists (nothing is added).
    int add(const Manual3BStatement& statement, int selected);
    // Removes row `row`; false when there is no such row.
    bool remove(int row);

    const std::vector<std::string>& statements() const { return statements_; }
    int size() const { return static_cast<int>(statements_.size()); }

private:
    std::vector<std::string> statements_;
};

}  // namespace korvex
