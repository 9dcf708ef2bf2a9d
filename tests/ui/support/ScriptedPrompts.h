// The seam of the tests: message boxes and file dialogs are answered from a
// queue, and each modal dialog or sheet runs the next armed callback inside
// its event loop. Everything asked is recorded. A box, file dialog or modal
// dialog that nothing was queued for fails the test and is closed at once
// (Cancel where there is one), so a test never hangs on it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/framework/UiSeam.h"

struct ModalRun {
    bool ran = false;            // the callback was called
    bool closedByGuard = false;  // the dialog was still open after it and was cancelled
    std::string window;          // Describe() of the window it ran in
};

class ScriptedPrompts : public CUiSeam {
public:
    ~ScriptedPrompts() override;

    // The button chosen in the next message box.
    void AnswerMessageBox(int answer);
    // The paths chosen in the next file dialog, or its Cancel.
    void AnswerFileDialog(std::vector<std::string> paths);
    void AnswerFileDialog(const std::string& path) {
        AnswerFileDialog(std::vector<std::string>{path});
    }
    void CancelFileDialog();
    // Runs `act` in the next modal dialog or sheet, once its event loop runs.
    // If the dialog is still open when `act` returns (or a check in it failed
    // early), it is ended with IDCANCEL.
    std::shared_ptr<const ModalRun> ArmModal(std::function<void(CWnd& window)> act);
    // The progress dialog of a batch asks nothing: unless armed here it runs
    // to its end, and it never takes a callback of ArmModal. `act` runs once
    // its event loop runs; the guard cancels the batch if it is still open.
    std::shared_ptr<const ModalRun> ArmProgress(std::function<void(CWnd& window)> act);

    const std::vector<MessageBoxRequest>& MessageBoxes() const { return m_boxes; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }

    // Fails the test for every answer or callback that was never used, then
    // forgets the queues and the records.
    void VerifyAllUsed();

    int ShowMessageBox(const MessageBoxRequest& request) override;
    bool ShowFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) override;
    void ModalStarted(CWnd& window) override;

private:
    struct FileAnswer {
        bool cancel;
        std::vector<std::string> paths;
    };
    struct Armed {
        std::function<void(CWnd&)> act;
        std::shared_ptr<ModalRun> run;
    };

    std::deque<int> m_boxAnswers;
    std::deque<FileAnswer> m_fileAnswers;
    std::deque<Armed> m_modals;
    std::deque<Armed> m_progress;
    std::vector<MessageBoxRequest> m_boxes;
    std::vector<FileDialogRequest> m_fileDialogs;
};
