// CBatchProgressDlg: a batch conversion of the window on a worker thread,
// with the files of the batch and the lines of the current file shown as it
// goes. 取消, Esc and the close box stop it after the current block of lines;
// the file being converted then leaves no output under its final name. The
// dialog ends by itself when the batch has finished.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/FileBatch.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/ProgressCtrl.h"

class ConversionSession;

inline constexpr UINT WM_BATCH_START = WM_USER + 20;
inline constexpr UINT WM_BATCH_POLL = WM_USER + 21;

class CBatchProgressDlg : public CDialog {
public:
    // RunBatch(session) runs on the worker; nothing else may touch the
    // session until DoModal returns.
    explicit CBatchProgressDlg(ConversionSession& session, CWnd* pParent = nullptr);
    ~CBatchProgressDlg() override;

    bool EndsByItself() const override { return true; }

    // Asked on the window's thread once the plan is made, before anything is
    // written (BatchCallbacks::beforeStart); without it existing outputs are kept.
    std::function<ExistingOutputs(const std::vector<std::string>& existing)> m_beforeStart;
    // Called on the window's thread for each converted file, in order.
    std::function<void(const std::string& output)> m_fileConverted;

    // After DoModal: what the batch did, and how long it took.
    BatchResult m_result;
    double m_seconds = 0;

    // The same batch without the dialog: the window's thread waits for the
    // worker, answering its question; for batches too short to watch.
    void RunWithoutDialog();

    BOOL OnInitDialog() override;
    void EndModalLoop(int nResult) override;

    // Shows a state of the batch: the bars and their texts.
    void ShowProgress(const BatchProgress& progress);

    CProgressCtrl m_filesBar;
    CProgressCtrl m_linesBar;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    LRESULT OnStart(WPARAM, LPARAM);
    // On the dialog's timer: the worker's question, progress and end.
    LRESULT OnPoll(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    // Stops the batch after its current block; the dialog ends when it has.
    void RequestCancel();
    // Runs on the worker.
    void Work();
    // Takes what the worker left since the last call: the outputs, and with
    // `show` the progress on the bars.
    void TakeProgress(bool show);
    // Asks the worker's question if it waits for one; false when none.
    bool AnswerQuestion();
    bool Finished();
    // After Finished: the worker joined, the time taken.
    void Join();

    ConversionSession& m_session;
    std::vector<std::uint64_t> m_sizes;  // of the sources, for the lines bar
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;  // the worker was started and has not been joined
    std::chrono::steady_clock::time_point m_start;

    // Between the worker and the window's thread; the worker only leaves
    // things here (no call into the window, which the timer reads).
    std::mutex m_mutex;
    BatchProgress m_latest;
    std::vector<std::string> m_newOutputs;
    std::vector<std::string> m_existing;
    bool m_question = false;  // beforeStart waits for m_answer
    bool m_finished = false;  // m_result is set
    std::promise<ExistingOutputs> m_answer;
};
