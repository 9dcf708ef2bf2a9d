// The common-height reader on any bytes, in each encoding: it reads or
// refuses with a message, never both; what it reads has five texts a point
// that read back as values of the file's form, distinct names and rising
// line numbers; written back and read again it gives the same points; and
// a fit of what it read succeeds or names its problem.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "params/CommonHeightFile.h"
#include "params/CommonHeightFit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (TextEncoding encoding : {TextEncoding::Detect, TextEncoding::Utf8, TextEncoding::Gb18030}) {
        std::vector<CommonHeight> points;
        HeightPositions positions = HeightPositions::Plane;
        std::string error;
        if (!ParseCommonHeights(input, TextLanguage::English, &points, &positions, &error,
                                encoding)) {
            FUZZ_CHECK(!error.empty(), input);
            FUZZ_CHECK(points.empty(), input);
            continue;
        }
        std::unordered_set<std::string> names;
        int line = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const CommonHeight& p = points[i];
            FUZZ_CHECK(names.insert(p.id).second, input);
            FUZZ_CHECK(p.line > line, input);
            line = p.line;
            HeightRowValues v;
            int field = -1;
            FUZZ_CHECK(ReadHeightRow(p, static_cast<int>(i), positions, TextLanguage::English, &v,
                                     &field, &error),
                       input);
        }
        std::string text;
        if (FormatCommonHeights(points, TextLanguage::English, &text, &error)) {
            std::vector<CommonHeight> back;
            HeightPositions again = HeightPositions::Plane;
            FUZZ_CHECK(ParseCommonHeights(text, TextLanguage::English, &back, &again, &error,
                                          TextEncoding::Utf8),
                       input);
            FUZZ_CHECK(back.size() == points.size() && again == positions, input);
            for (std::size_t i = 0; i < back.size(); ++i) {
                FUZZ_CHECK(back[i].id == points[i].id && back[i].h == points[i].h &&
                               back[i].H == points[i].H &&
                               back[i].position[0] == points[i].position[0] &&
                               back[i].position[1] == points[i].position[1],
                           input);
            }
        }
        if (points.size() > 200) continue;
        HeightFitRequest request;
        request.positions = positions;
        for (HeightSurface s : {HeightSurface::Constant, HeightSurface::Plane, HeightSurface::Quadric}) {
            request.surface = s;
            CommonHeightFit fit;
            FitProblem problem;
            const bool ok = ComputeHeightFit(points, request, ConversionParams(), nullptr,
                                             TextLanguage::English, &fit, &problem);
            FUZZ_CHECK(ok ? problem.message.empty() : !problem.message.empty(), input);
        }
    }
    return 0;
}
