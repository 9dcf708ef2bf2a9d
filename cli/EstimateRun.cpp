#include "cli/EstimateRun.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/ConvertRun.h"
#include "params/CommonHeightFile.h"
#include "params/CommonHeightFit.h"
#include "params/CommonPointFile.h"
#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "params/HeightFitReport.h"
#include "params/ResidualPlot.h"
#include "session/GeoidFiles.h"

namespace {

void Report(std::FILE* err, const std::string& text) {
    std::fprintf(err, "terrax-convert: %s\n", text.c_str());
}

// The bytes of the standard input.
bool ReadInput(std::FILE* in, std::string* bytes, std::string* error) {
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) bytes->append(buf, n);
    if (!std::ferror(in)) return true;
    *error = "reading the standard input failed";
    return false;
}

// The points of COMMON.txt, or of the standard input for "-".
bool ReadPoints(const std::string& path, TextEncoding encoding, std::FILE* in,
                std::vector<CommonPoint>* points, std::string* error) {
    if (path != "-") {
        return ReadCommonPointFile(path, TextLanguage::English, points, error, encoding);
    }
    std::string bytes, message;
    if (!ReadInput(in, &bytes, error)) return false;
    if (ParseCommonPoints(bytes, TextLanguage::English, points, &message, encoding)) return true;
    *error = "standard input, " + message;
    return false;
}

// The common heights of COMMON.txt, or of the standard input for "-".
bool ReadHeights(const std::string& path, TextEncoding encoding, std::FILE* in,
                 std::vector<CommonHeight>* points, HeightPositions* positions,
                 std::string* error) {
    if (path != "-") {
        return ReadCommonHeightFile(path, TextLanguage::English, points, positions, error,
                                    encoding);
    }
    std::string bytes, message;
    if (!ReadInput(in, &bytes, error)) return false;
    if (ParseCommonHeights(bytes, TextLanguage::English, points, positions, &message, encoding)) {
        return true;
    }
    *error = "standard input, " + message;
    return false;
}

// Marks the points named in `ids` as check points; false naming the first
// name no point has.
template <typename Point>
bool Exclude(const std::vector<std::string>& ids, const std::string& path,
             std::vector<Point>& points, std::string* error) {
    for (const std::string& id : ids) {
        bool found = false;
        for (Point& p : points) {
            if (p.id != id) continue;
            p.used = false;
            found = true;
        }
        if (!found) {
            *error = "--exclude: no point named '" + id + "' in " +
                     (path == "-" ? std::string("the standard input") : "'" + path + "'");
            return false;
        }
    }
    return true;
}

std::string Source(const std::string& path) {
    return path == "-" ? std::string("standard input") : "'" + path + "'";
}

int RunHeightEstimate(const ConvertOptions& o, const std::string& appDir,
                      const RunStreams& streams, ConversionSession* saved) {
    const EstimateOptions& e = o.estimate;
    ConversionSession s;
    std::string error;
    if (!LoadSettings(o, s, &error)) {
        Report(streams.err, error);
        return kExitSetup;
    }
    HeightFitRequest request;
    request.surface = *e.heightModel;
    request.datum = o.targetDatum.value_or(s.m_targetDatum);
    request.geoid = e.geoid;
    request.tolerance = e.tolerance;
    request.alpha = e.alpha.value_or(kDefaultAlpha);
    if (request.datum < 0 || request.datum >= kDatumCount) {
        Report(streams.err, "the project file sets target datum " +
                                std::to_string(request.datum) +
                                "; datums must be 0..4 (give --target-datum)");
        return kExitSetup;
    }
    std::shared_ptr<const GeoidGrid> geoid;
    if (!e.geoid.empty()) {
        geoid = OpenGeoid(e.geoid, appDir, &error);
        if (!geoid) {
            Report(streams.err, "--geoid " + e.geoid + ": " + error);
            return kExitSetup;
        }
    }
    const std::string& path = o.files.front();
    std::vector<CommonHeight> points;
    if (!ReadHeights(path, e.encoding, streams.in, &points, &request.positions, &error) ||
        !Exclude(e.exclude, path, points, &error)) {
        Report(streams.err, error);
        return kExitSetup;
    }
    CommonHeightFit result;
    FitProblem problem;
    if (!ComputeHeightFit(points, request, s.m_params, geoid.get(), TextLanguage::English,
                          &result, &problem)) {
        Report(streams.err, Source(path) + ", " + problem.message);
        return kExitSetup;
    }
    const std::string report = e.json ? HeightFitReportJson(result)
                                      : HeightFitReportText(result, TextLanguage::English);
    int status = kExitConverted;
    if (!WriteOutput(report, streams, &status)) return status;
    if (!e.plot.empty() &&
        !WriteResidualPlot(e.plot, MakeHeightResidualPlot(result, 800, 600), true, &error)) {
        Report(streams.err, error);
        return kExitSkipped;
    }
    if (e.saveProject.empty()) return kExitConverted;
    ApplyHeightFit(result, s);
    s.m_targetDatum = request.datum;
    s.PrepareConversion();
    status = SaveRunProject(s, e.saveProject, streams);
    if (saved != nullptr && status == kExitConverted) *saved = s;
    return status;
}

}  // namespace

int RunEstimate(const ConvertOptions& o, const std::string& appDir, const RunStreams& streams,
                ConversionSession* saved) {
    const EstimateOptions& e = o.estimate;
    if (e.height) return RunHeightEstimate(o, appDir, streams, saved);
    ConversionSession s;
    std::string error;
    if (!LoadSettings(o, s, &error)) {
        Report(streams.err, error);
        return kExitSetup;
    }

    FitRequest request;
    request.model = *e.model;
    request.sourceKind = o.sourceKind.value_or(s.m_sourceKind);
    request.targetKind = o.targetKind.value_or(s.m_targetKind);
    request.sourceDatum = o.sourceDatum.value_or(s.m_sourceDatum);
    request.targetDatum = o.targetDatum.value_or(s.m_targetDatum);
    request.tolerance = e.tolerance;
    request.alpha = e.alpha.value_or(kDefaultAlpha);
    auto kindOk = [](int k) { return k >= 0 && k <= 2; };
    auto datumOk = [](int d) { return d >= 0 && d < kDatumCount; };
    if (!kindOk(request.sourceKind) || !kindOk(request.targetKind) ||
        !datumOk(request.sourceDatum) || !datumOk(request.targetDatum)) {
        Report(streams.err, "the project file sets source kind " +
                                std::to_string(request.sourceKind) + ", target kind " +
                                std::to_string(request.targetKind) + ", source datum " +
                                std::to_string(request.sourceDatum) + " and target datum " +
                                std::to_string(request.targetDatum) +
                                "; kinds must be 0..2 and datums 0..4 (give --from, --to, "
                                "--source-datum or --target-datum)");
        return kExitSetup;
    }

    const std::string& path = o.files.front();
    std::vector<CommonPoint> points;
    if (!ReadPoints(path, e.encoding, streams.in, &points, &error) ||
        !Exclude(e.exclude, path, points, &error)) {
        Report(streams.err, error);
        return kExitSetup;
    }
    CommonPointFit result;
    FitProblem problem;
    if (!ComputeFit(points, request, s.m_params, TextLanguage::English, &result, &problem)) {
        Report(streams.err, Source(path) + ", " + problem.message);
        return kExitSetup;
    }

    const std::string report =
        e.json ? FitReportJson(result) : FitReportText(result, TextLanguage::English);
    int status = kExitConverted;
    if (!WriteOutput(report, streams, &status)) return status;
    if (!e.plot.empty() &&
        !WriteResidualPlot(e.plot, MakeResidualPlot(result, 800, 600), true, &error)) {
        Report(streams.err, error);
        return kExitSkipped;
    }

    if (e.saveProject.empty()) return kExitConverted;
    ApplyFit(result, e.level.value_or(1), s);
    // The project opens with the two sides of the points as its kinds.
    s.m_sourceKind = request.sourceKind;
    s.m_targetKind = request.targetKind;
    s.m_sourceDatum = request.sourceDatum;
    s.m_targetDatum = request.targetDatum;
    s.PrepareConversion();
    const int saveStatus = SaveRunProject(s, e.saveProject, streams);
    if (saved != nullptr && saveStatus == kExitConverted) *saved = s;
    return saveStatus;
}
