#include "ui/framework/DesktopOpener.h"

#include "platform/Platform.h"

namespace {

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener;
    return opener;
}

}  // namespace

bool AfxOpenWithDesktop(const std::string& path) {
    if (const DesktopOpener& opener = CurrentOpener()) return opener(path);
    return Platform::OpenWithDesktop(path);
}

DesktopOpener AfxSetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}
