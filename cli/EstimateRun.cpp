#include "cli/EstimateRun.h"

#include <cstdio>
#include <string>
#include <vector>

#include "cli/ConvertRun.h"
#include "params/CommonPointFile.h"
#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "params/ResidualPlot.h"
#include "session/UserDatums.h"

namespace {

void Report(std::FILE* err, const std::string& text) {
    std::fprintf(err, "terrax-convert: %s\n", text.c_str());
}

// The points of COMMON.txt, or of the standard input for "-".
bool ReadPoints(const std::string& path, TextEncoding encoding, std::FILE* in,
                std::vector<CommonPoint>* points, std::string* error) {
    if (path != "-") {
        return ReadCommonPointFile(path, TextLanguage::English, points, error, encoding);
    }
    std::string bytes;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) bytes.append(buf, n);
    if (std::ferror(in)) {
        *error = "reading the standard input failed";
        return false;
    }
    std::string message;
    if (ParseCommonPoints(bytes, TextLanguage::English, points, &message, encoding)) return true;
    *error = "standard input, " + message;
    return false;
}

bool Exclude(const std::vector<std::string>& ids, const std::string& path,
             std::vector<CommonPoint>& points, std::string* error) {
    for (const std::string& id : ids) {
        bool found = false;
        for (CommonPoint& p : points) {
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

}  // namespace

int RunEstimate(const ConvertOptions& o, const RunStreams& streams) {
    const EstimateOptions& e = o.estimate;
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
    auto datumOk = [](int d) { return d >= 0 && d < DatumCount(); };
    if (!kindOk(request.sourceKind) || !kindOk(request.targetKind) ||
        !datumOk(request.sourceDatum) || !datumOk(request.targetDatum)) {
        Report(streams.err, "the project file sets source kind " +
                                std::to_string(request.sourceKind) + ", target kind " +
                                std::to_string(request.targetKind) + ", source datum " +
                                std::to_string(request.sourceDatum) + " and target datum " +
                                std::to_string(request.targetDatum) +
                                "; kinds must be 0..2 and datums 0.." + std::to_string(DatumCount() - 1) +
                                " (give --from, --to, "
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
        Report(streams.err, (path == "-" ? std::string("standard input") : "'" + path + "'") +
                                ", " + problem.message);
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
    return SaveRunProject(s, e.saveProject, streams);
}
