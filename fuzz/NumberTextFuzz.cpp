// The number reader against the C library: AsciiToDouble, of a C string and
// of a view, and ReadNumberField give the bits of atof in the C locale; a
// field reads whole exactly when strtod reads a decimal number (no
// hexadecimal, inf or nan) followed by blanks only.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// What ReadNumberField must say: strtod reads a decimal number (no hexadecimal,
// inf or nan) and only blanks follow it.
bool ReadsWhole(const std::string& text) {
    const char* p = text.c_str();
    while (IsCSpace(*p)) ++p;
    const char* body = p;
    if (*body == '+' || *body == '-') ++body;
    if (!(*body >= '0' && *body <= '9') && *body != '.') return false;
    if (body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
        // strtod would take a hexadecimal number; a decimal reader stops at the "x".
        return false;
    }
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return false;
    while (IsCSpace(*end)) ++end;
    return *end == '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view view(reinterpret_cast<const char*>(data), size);
    const std::string text(view.substr(0, view.find('\0')));  // what a C string holds

    const double want = std::atof(text.c_str());
    FUZZ_CHECK(SameBits(AsciiToDouble(text.c_str()), want), text);
    FUZZ_CHECK(SameBits(AsciiToDouble(view.data(), view.data() + view.size()), want), text);

    bool whole = false;
    FUZZ_CHECK(SameBits(ReadNumberField(view, &whole), want), text);
    if (text.size() == view.size()) {
        FUZZ_CHECK(whole == ReadsWhole(text), text);
    } else {
        FUZZ_CHECK(!whole, text);  // the bytes after the NUL were not read
    }
    return 0;
}
