#include "ui/batch/BatchProgressDlg.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "batch/ShortenPath.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "session/ConversionSession.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageMap.h"

namespace {

// The lines bar counts the part of the current file read, in steps of this.
constexpr int kLinesBarSteps = 1000;
constexpr int kListedPathLength = 40;
constexpr int kPollMilliseconds = 50;

}  // namespace

BEGIN_MESSAGE_MAP(CBatchProgressDlg, CDialog)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_BATCH_START, OnStart)
    ON_MESSAGE(WM_BATCH_POLL, OnPoll)
END_MESSAGE_MAP()

CBatchProgressDlg::CBatchProgressDlg(ConversionSession& session, CWnd* pParent)
    : CDialog(IDD_BATCH_PROGRESS, pParent), m_session(session) {}

CBatchProgressDlg::~CBatchProgressDlg() {
    m_cancel = true;
    if (m_worker.joinable()) m_worker.join();
}

void CBatchProgressDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_FILES, m_filesBar);
    DDX_Control(pDX, IDC_PROGRESS_LINES, m_linesBar);
}

BOOL CBatchProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::size_t count =
        std::min(m_session.m_sourceFiles.size(),
                 static_cast<std::size_t>(std::max(m_session.m_sourceFileCount, 0)));
    m_sizes.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        Platform::FileStatus status;
        if (Platform::StatusOf(m_session.m_sourceFiles[i], &status)) m_sizes[i] = status.size;
    }
    m_filesBar.SetRange32(0, static_cast<int>(count));
    m_linesBar.SetRange32(0, kLinesBarSteps);
    BatchProgress start;
    start.filesTotal = count;
    ShowProgress(start);
    // Started from the event loop, so that the dialog is up before any question.
    PostMessage(WM_BATCH_START);
    return TRUE;
}

void CBatchProgressDlg::ShowProgress(const BatchProgress& p) {
    const std::size_t total = p.filesTotal;
    const std::size_t current = std::min(p.file, total == 0 ? 0 : total - 1);
    std::string files = "文件：" + std::to_string(p.filesDone) + " / " + std::to_string(total);
    if (p.filesDone < total && current < m_session.m_sourceFiles.size()) {
        files += "  " + ShortenPath(m_session.m_sourceFiles[current], kListedPathLength);
    }
    GetDlgItem(IDC_PROGRESS_FILES_TEXT)->SetWindowText(files);
    m_filesBar.SetPos(static_cast<int>(p.filesDone));

    int step = 0;
    if (p.filesDone >= total) {
        step = kLinesBarSteps;
    } else if (current < m_sizes.size() && m_sizes[current] > 0) {
        step = static_cast<int>(std::min<std::uint64_t>(p.bytesInFile, m_sizes[current]) *
                                kLinesBarSteps / m_sizes[current]);
    }
    m_linesBar.SetPos(step);
    GetDlgItem(IDC_PROGRESS_LINES_TEXT)
        ->SetWindowText("行：本文件 " + std::to_string(p.linesInFile) + " 行，共 " +
                        std::to_string(p.linesDone) + " 行");
}

LRESULT CBatchProgressDlg::OnStart(WPARAM, LPARAM) {
    m_start = std::chrono::steady_clock::now();
    m_running = true;
    // The worker makes no call into the window: this thread looks at what it
    // left, on a timer of the dialog's widget.
    auto* timer = new QTimer(GetSafeHwnd());
    QObject::connect(timer, &QTimer::timeout, GetSafeHwnd(), [this] { SendMessage(WM_BATCH_POLL); });
    timer->start(kPollMilliseconds);
    m_worker = std::thread([this] { Work(); });
    return 0;
}

void CBatchProgressDlg::Work() {
    BatchCallbacks callbacks;
    callbacks.cancel = &m_cancel;
    if (m_beforeStart) {
        callbacks.beforeStart = [this](const std::vector<std::string>& existing) {
            std::future<ExistingOutputs> answer = m_answer.get_future();
            {
                std::lock_guard lock(m_mutex);
                m_existing = existing;
                m_question = true;
            }
            return answer.get();
        };
    }
    callbacks.progress = [this](const BatchProgress& p) {
        std::lock_guard lock(m_mutex);
        m_latest = p;
    };
    callbacks.fileConverted = [this](const ConvertedFile& file) {
        std::lock_guard lock(m_mutex);
        m_newOutputs.push_back(file.output);
    };
    BatchResult result = RunBatch(m_session, callbacks);
    std::lock_guard lock(m_mutex);
    m_result = std::move(result);
    m_finished = true;
}

void CBatchProgressDlg::TakeProgress(bool show) {
    BatchProgress latest;
    std::vector<std::string> outputs;
    {
        std::lock_guard lock(m_mutex);
        latest = m_latest;
        outputs.swap(m_newOutputs);
    }
    if (show && latest.filesTotal != 0) ShowProgress(latest);
    if (m_fileConverted) {
        for (const std::string& output : outputs) m_fileConverted(output);
    }
}

bool CBatchProgressDlg::AnswerQuestion() {
    std::vector<std::string> existing;
    {
        std::lock_guard lock(m_mutex);
        if (!m_question) return false;
        m_question = false;
        existing = m_existing;
    }
    ExistingOutputs choice = m_beforeStart(existing);
    if (m_cancel) choice = ExistingOutputs::Cancel;
    m_answer.set_value(choice);
    return true;
}

bool CBatchProgressDlg::Finished() {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

void CBatchProgressDlg::Join() {
    m_worker.join();
    m_running = false;
    m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CBatchProgressDlg::RunWithoutDialog() {
    m_start = std::chrono::steady_clock::now();
    m_running = true;
    m_worker = std::thread([this] { Work(); });
    while (!Finished()) {
        if (AnswerQuestion()) continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Join();
    TakeProgress(false);
}

LRESULT CBatchProgressDlg::OnPoll(WPARAM, LPARAM) {
    if (!m_running) return 0;
    // The timer goes on during the question; it finds nothing new meanwhile.
    if (AnswerQuestion()) return 0;
    const bool finished = Finished();
    TakeProgress(true);
    if (!finished) return 0;
    Join();
    TakeProgress(true);
    EndDialog(m_cancel || m_result.cancelled ? IDCANCEL : IDOK);
    return 0;
}

void CBatchProgressDlg::RequestCancel() {
    m_cancel = true;
    GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
    GetDlgItem(IDC_PROGRESS_LINES_TEXT)->SetWindowText("正在取消……");
}

void CBatchProgressDlg::EndModalLoop(int nResult) {
    // The dialog outlives its worker: it ends when the worker has stopped.
    if (m_running) {
        RequestCancel();
        return;
    }
    CDialog::EndModalLoop(nResult);
}

// Enter does not end a batch.
void CBatchProgressDlg::OnOK() {}

void CBatchProgressDlg::OnCancel() { RequestCancel(); }

void CBatchProgressDlg::OnClose() { RequestCancel(); }
