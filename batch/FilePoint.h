// Converting the three coordinate texts of one line of a point file, the way
// the single-point conversion converts the three entry fields.
#pragma once

#include <string>
#include <string_view>

class ConversionSession;

// Between equal datums the seven parameters are never applied: clears the
// record's seven-parameter switch when the two datums are equal.
void ApplyEqualDatumRule(ConversionSession& session);

// Room for one result text: "%.6f" of any double, or an angle text.
inline constexpr int kPointTextSize = 400;

// The routine of the session's source kind on three texts in slot order
// (plane x, y, h; geodetic B, L, H; space X, Y, Z), giving three values in
// the meaning of the target kind. The session must be able to convert
// (CanConvert) and be prepared (PrepareConversion, ApplyEqualDatumRule).
// Returns a bit (1 << slot) for each text that did not read whole: not a
// number, or for geodetic B and L not an angle text (ReadNumberField,
// ParseDmsField). `finite`, when given, is cleared when a value read is not
// finite (a number beyond the range of doubles, "inf", "nan"). `height`,
// when given, tells what the session's heights did (PointHeight).
struct PointHeight;
unsigned ConvertPointTexts(const ConversionSession& session, const std::string_view texts[3],
                           double out[3], bool* finite = nullptr, PointHeight* height = nullptr);

// Writes the text of result `slot` (0..2) into `buffer` (kPointTextSize
// bytes) and returns its length: "%.6f", except the first two results of a
// geodetic target, which are angle texts (FormatDmsPositive).
int FormatPointResult(const ConversionSession& session, int slot, double value, char* buffer);

// One point of a file: the equal-datum rule, the routine of the source kind
// and the result texts. PrepareConversion is the caller's, once per run. A
// kind or datum the session cannot convert gives three empty texts and false.
bool ConvertFilePoint(ConversionSession& session, const std::string& first,
                      const std::string& second, const std::string& third, std::string* out1,
                      std::string* out2, std::string* out3);
