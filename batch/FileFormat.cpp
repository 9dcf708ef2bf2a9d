#include "batch/FileFormat.h"

#include <vector>

#include "batch/SplitFields.h"

std::string SeparatorChar(int index) {
    if (index == 0) return ",";
    if (index == 1) return " ";
    return "";
}

bool IsUsableSeparator(std::string_view separator) { return separator == "," || separator == " "; }

char SeparatorChar(std::string_view separator) {
    return separator.empty() ? ',' : separator.front();
}

int ItemSlot(std::string_view item) {
    if (item == "纬度" || item == "北方向X") return 0;
    if (item == "经度" || item == "东方向Y") return 1;
    if (item == "椭球高" || item == "水准高") return 2;
    return -1;
}

void DeriveColumns(const FileFormat& format, int column[3]) {
    column[0] = column[1] = column[2] = -1;
    std::vector<std::string_view> items;
    SplitFields(format.itemLine, SeparatorChar(format.separator), &items);
    for (std::size_t k = 0; k < items.size(); ++k) {
        int slot = ItemSlot(items[k]);
        if (slot >= 0) column[slot] = static_cast<int>(k);
    }
}
