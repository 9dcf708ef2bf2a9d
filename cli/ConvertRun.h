// One run of terrax-convert: the session set up as the window's file
// conversion would hold it, checked as a whole before anything is written,
// then converted with the batch engine of the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/LineEngine.h"
#include "cli/CommandLine.h"
#include "session/ConversionSession.h"

// Exit statuses.
inline constexpr int kExitConverted = 0;  // everything was converted
inline constexpr int kExitSkipped = 1;    // some files were skipped, or a stream failed
inline constexpr int kExitSetup = 2;      // bad options or a set-up that cannot run

struct RunStreams {
    std::FILE* in = stdin;    // points when no file is named
    std::FILE* out = stdout;  // their conversion, and --help
    std::FILE* err = stderr;  // messages and the progress bar
    bool errIsTerminal = false;
    // Standard output shows on the terminal of `err`: converted lines would
    // mix with a progress bar there.
    bool outOnErrTerminal = false;
};

// A run ready to start.
struct RunPlan {
    // Prepared (PrepareConversion, equal-datum rule), with the chosen format,
    // naming choice and source files.
    ConversionSession session;
    bool fromStdin = false;
    std::vector<std::string> sources;
    std::uint64_t sourceBytes = 0;  // their total size
    int threads = 1;
    std::size_t lineLimit = LineEngine::kDefaultLineLimit;
};

// The session of the project file as the window shows it after opening it
// (a fresh one without --project), with the parameter options laid over it.
// False with the message for the user in *error.
bool LoadSettings(const ConvertOptions& options, ConversionSession& session, std::string* error);

// LoadSettings with the kinds, datums and switches of the options laid over
// it, --geoid and --heights too: the session of the run as the window would
// show it.
bool LoadRunSettings(const ConvertOptions& options, ConversionSession& session,
                     std::string* error);

// With the switch 高程拟合 on: checks that a model or a geoid gives ζ and
// opens the grid they need. False with the message for the user.
bool PrepareHeights(ConversionSession& session, const std::string& appDir, std::string* error);

// Why a plane to plane run with local level 1 unset does not start.
std::string LevelOneMissingText();

// Loads the project file, lays the options over it and reads the format.
// Writes nothing. Returns false with the message for the user in *error
// (also for a plane to plane conversion with local level 1 unset). A
// source that cannot be read is no error here: it is skipped and reported
// when the files are converted.
bool PlanRun(const ConvertOptions& options, const std::string& appDir, RunPlan* plan,
             std::string* error);

// Converts the plan's sources (or the input stream) and reports on
// streams.err; then, with --save-project, writes the run's settings as a
// project (LoadRunSettings, prepared). Returns the exit status.
int ExecuteRun(const RunPlan& plan, const ConvertOptions& options, const RunStreams& streams);

// Writes the session (prepared) as a project file; a failure is reported on
// streams.err and gives kExitSkipped.
int SaveRunProject(ConversionSession& session, const std::string& path, const RunStreams& streams);

// Writes `text` to streams.out and flushes it; when that fails (a full or
// closed standard output), reports it and sets *status to kExitSetup.
bool WriteOutput(const std::string& text, const RunStreams& streams, int* status);

// For the tests that kill a run part way: the process ends at once, as if
// killed, when a conversion has written `lines` lines (checked where the
// progress is reported, between blocks of lines). 0 turns it off.
void KillAfterLinesForTests(std::uint64_t lines);

// Why a source was skipped, for standard error: in English, from the reason
// and the system's error number.
struct SkippedFile;
std::string SkipText(const SkippedFile& file);

// Sources that must be converted one after the other, in their order,
// because they share an output path or are the same file; every index of
// `sources` is in exactly one group, and groups are ordered by their first
// index.
std::vector<std::vector<std::size_t>> SerialGroups(const std::vector<std::string>& sources,
                                                   const std::string& extension, int naming);
