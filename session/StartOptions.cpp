#include "session/StartOptions.h"

#include "session/AppPaths.h"
#include "session/UserDatums.h"

std::string WindowHelpText(const std::string& appDir) {
    return "Usage: terrax [FILE.cod]\n"
           "\n"
           "Starts the coordinate conversion window (坐标转换); with FILE.cod it opens\n"
           "that project, as File Open does.\n"
           "\n"
           "  -h, --help   show this help\n"
           "  --version    show the version\n"
           "\n"
           "Files:\n"
           "  help page     " +
           HelpPagePath(appDir) +
           "\n"
           "  format store  " +
           FormatStorePath(appDir) + "\n" + "  datum list    " + UserDatumsPath(appDir) + "\n";
}

std::optional<int> AnswerStartOption(const std::vector<std::string>& args,
                                     const std::string& appDir, std::FILE* out) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--version") {
            std::fprintf(out, "terrax (TerraX) %s\n", TERRAX_VERSION);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(WindowHelpText(appDir).c_str(), out);
            return 0;
        }
    }
    return std::nullopt;
}
