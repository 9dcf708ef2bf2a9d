#include "ui/framework/DesktopOpener.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <chrono>

#include "platform/Platform.h"
#include "ui/framework/MessageBox.h"

namespace {

// An opener that fails later than this has opened the file: its program
// (xdg-open waits for it outside a desktop) ended badly after being used.
constexpr std::chrono::seconds kFailsAtOnce{5};

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener;
    return opener;
}

void ReportFailure(const std::string& path) {
    AfxMessageBox(AfxOpenFailedText(path), MB_OK | MB_ICONWARNING);
}

}  // namespace

std::string AfxOpenFailedText(const std::string& path) {
    return "无法打开文件“" + path + "”：系统中没有能打开它的程序，或打开它的程序出错。";
}

bool AfxOpenWithDesktop(const std::string& path) {
    bool started = false;
    if (const DesktopOpener& opener = CurrentOpener()) {
        started = opener(path);
    } else {
        const auto start = std::chrono::steady_clock::now();
        QPointer<QCoreApplication> app = QCoreApplication::instance();
        started = Platform::OpenWithDesktop(path, [path, start, app](bool opened) {
            if (opened || std::chrono::steady_clock::now() - start > kFailsAtOnce) return;
            // Told on the thread of the windows.
            if (app)
                QMetaObject::invokeMethod(
                    app, [path] { ReportFailure(path); }, Qt::QueuedConnection);
        });
    }
    if (!started) ReportFailure(path);
    return started;
}

DesktopOpener AfxSetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}
