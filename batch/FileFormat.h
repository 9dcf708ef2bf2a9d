// One user-defined layout of point text files, and the rules that read its
// separator and its item line.
#pragma once

#include <string>
#include <string_view>

// A file format as the user defined it. Texts are UTF-8.
struct FileFormat {
    std::string name;       // type name, shown in the format list and the file filter
    std::string extension;  // without the dot, e.g. "txt"
    std::string separator;  // "," or " "
    std::string itemLine;   // the data items of one line, each followed by the separator
};

// The data items a user builds an item line from, in list order.
inline constexpr const char* kDataItems[] = {"点号",    "纬度",    "经度",   "椭球高",
                                             "北方向X", "东方向Y", "水准高", "其它"};
inline constexpr int kDataItemCount = 8;

// Separator text of the dialog's drop-down index: 0 ",", 1 " ", else "".
std::string SeparatorChar(int index);

// "," and " ", the separators a line can be cut at. Other texts come only
// from a store edited by hand (a full-width "，" among them).
bool IsUsableSeparator(std::string_view separator);

// The single byte that ends a field for a format's separator text. A
// separator is one byte: "," and " " are themselves; any other text (a store
// edited by hand) uses its first byte, and an empty text (no format chosen)
// uses ",". Input lines are split and output lines are written with it.
char SeparatorChar(std::string_view separator);

// Coordinate slot of a data item: 0 for "纬度" / "北方向X", 1 for
// "经度" / "东方向Y", 2 for "椭球高" / "水准高", -1 for any other text
// (compared byte for byte).
int ItemSlot(std::string_view item);

// The field index of each coordinate slot in a line of the format, -1 for a
// slot that no item names; the later item wins a slot named twice. Items are
// the fields of the item line as SplitFields cuts it.
void DeriveColumns(const FileFormat& format, int column[3]);
