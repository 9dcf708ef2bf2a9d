#include "tests/ui/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "ui/framework/Dialog.h"
#include "ui/framework/Wnd.h"

namespace {

bool Offers(UINT type, int answer) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return answer == IDOK || answer == IDCANCEL;
        case MB_YESNOCANCEL:
            return answer == IDYES || answer == IDNO || answer == IDCANCEL;
        case MB_YESNO:
            return answer == IDYES || answer == IDNO;
        default:
            return answer == IDOK;
    }
}

int SafeAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        default:
            return IDOK;
    }
}

}  // namespace

ScriptedPrompts::~ScriptedPrompts() = default;

void ScriptedPrompts::AnswerMessageBox(int answer) { m_boxAnswers.push_back(answer); }

void ScriptedPrompts::AnswerFileDialog(std::vector<std::string> paths) {
    m_fileAnswers.push_back(FileAnswer{false, std::move(paths)});
}

void ScriptedPrompts::CancelFileDialog() { m_fileAnswers.push_back(FileAnswer{true, {}}); }

std::shared_ptr<const ModalRun> ScriptedPrompts::ArmModal(std::function<void(CWnd&)> act) {
    auto run = std::make_shared<ModalRun>();
    m_modals.push_back(Armed{std::move(act), run});
    return run;
}

std::shared_ptr<const ModalRun> ScriptedPrompts::ArmProgress(std::function<void(CWnd&)> act) {
    auto run = std::make_shared<ModalRun>();
    m_progress.push_back(Armed{std::move(act), run});
    return run;
}

int ScriptedPrompts::ShowMessageBox(const MessageBoxRequest& request) {
    m_boxes.push_back(request);
    if (m_boxAnswers.empty()) {
        ADD_FAILURE() << "unscripted message box: \"" << request.text << "\" (type 0x" << std::hex
                      << request.type << ")";
        return SafeAnswer(request.type);
    }
    int answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    if (!Offers(request.type, answer)) {
        ADD_FAILURE() << "answer " << answer << " is not a button of the message box \""
                      << request.text << "\" (type 0x" << std::hex << request.type << ")";
        return SafeAnswer(request.type);
    }
    return answer;
}

bool ScriptedPrompts::ShowFileDialog(const FileDialogRequest& request,
                                     std::vector<std::string>* paths) {
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty()) {
        ADD_FAILURE() << "unscripted file dialog \"" << request.title << "\"";
        return false;
    }
    FileAnswer answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (answer.cancel) return false;
    *paths = answer.paths;
    return true;
}

void ScriptedPrompts::ModalStarted(CWnd& window) {
    const auto* dialog = dynamic_cast<const CDialog*>(&window);
    const bool progress = dialog != nullptr && dialog->EndsByItself();
    std::deque<Armed>& armedFor = progress ? m_progress : m_modals;
    if (progress && armedFor.empty()) return;
    if (armedFor.empty()) {
        ADD_FAILURE() << "unscripted modal " << window.Describe() << " \"" << window.GetWindowText()
                      << "\"";
        window.EndModalLoop(IDCANCEL);
        return;
    }
    Armed armed = std::move(armedFor.front());
    armedFor.pop_front();
    // Act on a window that is on the screen, as a user would.
    if (!QTest::qWaitForWindowExposed(window.GetSafeHwnd()->window(), 2000)) {
        ADD_FAILURE() << window.Describe() << " was not shown on the screen";
    }
    armed.run->ran = true;
    armed.run->window = window.Describe();
    try {
        armed.act(window);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "exception in the callback of " << window.Describe() << ": " << e.what();
    } catch (...) {
        ADD_FAILURE() << "exception in the callback of " << window.Describe();
    }
    if (window.ContinueModal()) {
        armed.run->closedByGuard = true;
        window.EndModalLoop(IDCANCEL);
    }
}

void ScriptedPrompts::VerifyAllUsed() {
    for (int answer : m_boxAnswers)
        ADD_FAILURE() << "message box answer " << answer << " was never asked for";
    for (const FileAnswer& answer : m_fileAnswers) {
        ADD_FAILURE() << "file dialog answer " << (answer.cancel ? "Cancel" : answer.paths.front())
                      << " was never asked for";
    }
    if (!m_modals.empty()) ADD_FAILURE() << m_modals.size() << " armed modal callback(s) never ran";
    if (!m_progress.empty()) {
        ADD_FAILURE() << m_progress.size() << " armed progress callback(s) never ran";
    }
    m_boxAnswers.clear();
    m_fileAnswers.clear();
    m_modals.clear();
    m_progress.clear();
    m_boxes.clear();
    m_fileDialogs.clear();
}
