// The format store: any bytes read as a table; that table written and read
// again is the same table, and written again the same bytes. The columns of
// every format name items of their coordinate.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "batch/FileFormat.h"
#include "batch/FormatStore.h"
#include "batch/SplitFields.h"
#include "fuzz/FuzzCheck.h"

namespace {

bool SameFormats(const std::vector<FileFormat>& a, const std::vector<FileFormat>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].extension != b[i].extension ||
            a[i].separator != b[i].separator || a[i].itemLine != b[i].itemLine) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<FileFormat> read = ParseFormatStore(bytes);
    const std::string written = FormatStoreBytes(read);
    const std::vector<FileFormat> again = ParseFormatStore(written);
    FUZZ_CHECK(SameFormats(read, again), bytes);
    FUZZ_CHECK(FormatStoreBytes(again) == written, bytes);
    // Each coordinate column names an item of its slot.
    std::vector<std::string_view> items;
    for (const FileFormat& f : read) {
        int column[3];
        DeriveColumns(f, column);
        SplitFields(f.itemLine, SeparatorChar(f.separator), &items);
        for (int k = 0; k < 3; ++k) {
            if (column[k] < 0) continue;
            FUZZ_CHECK(static_cast<std::size_t>(column[k]) < items.size(), bytes);
            FUZZ_CHECK(ItemSlot(items[static_cast<std::size_t>(column[k])]) == k, bytes);
        }
    }
    return 0;
}
