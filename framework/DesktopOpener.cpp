#include "framework/DesktopOpener.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener;
    return opener;
}

}  // namespace

bool AfxOpenWithDesktop(const std::string& path) {
    if (const DesktopOpener& opener = CurrentOpener()) return opener(path);
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   QStringList{QString::fromStdString(path)});
}

DesktopOpener AfxSetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}
