#include "ui/framework/qt/TableText.h"

std::string TabSeparatedRows(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) text += '\t';
            for (char c : row[i]) text += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
        }
        text += '\n';
    }
    return text;
}
