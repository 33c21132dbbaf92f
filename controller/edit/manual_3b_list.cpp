#include "controller/edit/manual_3b_list.h"

namespace korvex {

int Manual3BList::add(const Manual3BStatement& statement, int selected) {
    std::string text = format3BStatement(statement);
    if (text.empty()) return -1;
    const int row = (selected >= 0 && selected < size()) ? selected + 1 : size();
    statements_.insert(statements_.begin() + row, std::move(text));
    return row;
}

bool Manual3BList::remove(int row) {
    if (row < 0 || row >= size()) return false;
    statements_.erase(statements_.begin() + row);
    return true;
}

}  // namespace korvex
