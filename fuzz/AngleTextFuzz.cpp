// The angle texts: reading a text as a C string, as a view and as a field
// gives the same bits; a field reads whole exactly when it has two colons
// and its three parts read whole as numbers; every writer fits its buffer,
// the two forms of the positive writer agree, and what the writers give for
// a finite angle reads whole.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view view(reinterpret_cast<const char*>(data), size);
    const CGeoCore geo;

    // Texts as a field of a line holds them (no NUL inside a C string).
    const std::string text(view.substr(0, view.find('\0')));
    const double r = geo.ParseDmsText(text);
    FUZZ_CHECK(SameBits(ParseDmsView(text), r), text);

    bool whole = false;
    FUZZ_CHECK(SameBits(ParseDmsField(view, &whole), ParseDmsView(view)), view);
    const std::size_t first = view.find(':'), last = view.rfind(':');
    bool parts[3] = {false, false, false};
    if (first != std::string_view::npos && first != last &&
        view.substr(first + 1, last - first - 1).find(':') == std::string_view::npos) {
        ReadNumberField(view.substr(0, first), &parts[0]);
        ReadNumberField(view.substr(first + 1, last - first - 1), &parts[1]);
        ReadNumberField(view.substr(last + 1), &parts[2]);
    }
    FUZZ_CHECK(whole == (parts[0] && parts[1] && parts[2]), view);

    // The writers, on the value read and on raw bits from the input.
    double values[2] = {r, 0.0};
    if (size >= 8) std::memcpy(&values[1], data, 8);
    for (double v : values) {
        char buffer[kDmsTextSize];
        const int n = FormatDmsPositiveTo(v, buffer);
        FUZZ_CHECK(n >= 0 && n < kDmsTextSize, text);
        const std::string positive = geo.FormatDmsPositive(v);
        FUZZ_CHECK(positive == std::string_view(buffer, static_cast<std::size_t>(n)), text);
        const std::string seconds = geo.FormatDmsWhole(v);
        const std::string signed_ = geo.FormatDmsSigned(v);
        FUZZ_CHECK(seconds.size() < kDmsTextSize && signed_.size() < kDmsTextSize, text);
        // A finite angle writes as a text that reads whole.
        if (std::isfinite(v) && std::fabs(v) < 1e6) {
            bool read = false;
            ParseDmsField(signed_, &read);
            FUZZ_CHECK(read, signed_);
            if (v >= 0) {
                ParseDmsField(positive, &read);
                FUZZ_CHECK(read, positive);
                ParseDmsField(seconds, &read);
                FUZZ_CHECK(read, seconds);
            }
        }
    }
    return 0;
}
