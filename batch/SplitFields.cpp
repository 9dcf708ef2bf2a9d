#include "batch/SplitFields.h"

#include <cstring>

std::size_t SplitFields(std::string_view line, char separator,
                        std::vector<std::string_view>* fields) {
    fields->clear();
    const char* begin = line.data();
    const char* end = begin + line.size();
    const char* start = begin;
    while (start < end) {
        const void* hit = std::memchr(start, separator, static_cast<std::size_t>(end - start));
        if (hit == nullptr) break;
        const char* stop = static_cast<const char*>(hit);
        fields->emplace_back(start, static_cast<std::size_t>(stop - start));
        start = stop + 1;
    }
    return static_cast<std::size_t>(start - begin);
}
