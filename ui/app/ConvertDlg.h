// CConvertDlg: the main window. It owns the conversion session and binds
// its controls to it; the menu commands of the parameter dialogs and the
// file-conversion page act on the same session.
#pragma once

#include <string>

#include "session/ConversionSession.h"
#include "session/RecentProjects.h"
#include "session/SessionHistory.h"
#include "ui/framework/Button.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/Edit.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/Static.h"
#include "ui/framework/TabCtrl.h"

// Posted at start-up when a project was named on the command line.
inline constexpr UINT WM_OPEN_START_PROJECT = WM_USER + 11;

class CConvertDlg : public CDialog {
public:
    explicit CConvertDlg(CWnd* pParent = nullptr);

    // The session, with the members that the controls exchange.
    ConversionSession m_session;

    // Sets the session to its defaults (File New and construction).
    void ResetSession();
    // Brings the controls in line with the session record.
    void RefreshFromSession();
    // Undo steps of the session's parameters and the state of its file.
    SessionHistory m_history;
    // The last projects opened or saved, kept in the window settings.
    RecentProjects m_recent;
    // Reads the controls into the session and fills the record's copies.
    void PrepareConversion();

    // Controls, in exchange order.
    CStatic m_formatLabel;
    CButton m_formatButton;
    CButton m_outputGroup;
    CButton m_inputGroup;
    CStatic m_sourceFileLabel;
    CButton m_batchButton;
    CListBox m_sourceList;
    CListBox m_outputList;
    CButton m_browseButton;
    CButton m_convertButton;
    CEdit m_sourceHEdit;
    CEdit m_sourceYEdit;
    CEdit m_sourceXEdit;
    CEdit m_targetHEdit;
    CEdit m_targetYEdit;
    CEdit m_targetXEdit;
    CTabCtrl m_modeTab;
    CStatic m_sourceHLabel;
    CStatic m_sourceYLabel;
    CStatic m_sourceXLabel;
    CStatic m_targetHLabel;
    CStatic m_targetYLabel;
    CStatic m_targetXLabel;

    HICON m_hIcon = nullptr;
    // The project to open once the window is up (the command line's file);
    // empty for none.
    std::string m_startProject;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter converts on the single-point page; Escape closes the window as
    // its close box does.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose();

    // Single-point conversion.
    void OnConvert();
    void OnKindSourceSpace();
    void OnKindSourceGeodetic();
    void OnKindSourcePlane();
    void OnKindTargetSpace();
    void OnKindTargetGeodetic();
    void OnKindTargetPlane();
    void OnSourceTextChanged();
    void OnChoiceChanged();
    // The check box 高程拟合: ticked only with a model or a geoid whose grid opens.
    void OnUseHeights();

    // File menu.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnEditUndo();
    void OnEditRedo();

    // Parameters.
    void OnProjectionSettings();
    void OnSevenParamSettings();
    void OnFourParamSettings();
    void OnCalcFour();
    void OnCalcThree();
    void OnCalcSeven();
    void OnCalcMulti();
    void OnCalcHeights();
    void OnZoneChange();
    void OnDatumList();

    // File conversion page and help.
    void OnSelchangeModeTab(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBrowse();
    void OnConvertFiles();
    void OnFormat();
    void OnDblclkSourceList();
    void OnDblclkOutputList();
    LRESULT OnOpenStartProject(WPARAM wParam, LPARAM lParam);
    void OnHelpPage();
    void OnAbout();

    DECLARE_MESSAGE_MAP()

private:
    enum class SaveOutcome { Saved, Cancelled, Failed };
    // Writes the session to `path`; tells the user when that fails.
    bool SaveProjectTo(const std::string& path);
    SaveOutcome SaveAs();
    // Saves to the current path, or asks for one; true when written.
    bool Save();
    // With unsaved changes asks whether to save them: true when the caller
    // may go on (saved, or the user gave them up), false to keep everything.
    bool SaveIfModified();
    // Loads `path` as the current project; tells the user when it does not
    // load and leaves the session and the path as they were.
    bool OpenProject(const std::string& path);
    void OpenRecentProject(std::size_t index);
    void RememberProject(const std::string& path);

    // After the session changed: a step for undo, the outputs cleared, the
    // controls, title, status line and menu brought in line.
    void SessionChanged();
    // Shows the session's members in the controls (no record copies).
    void ShowSession();
    void ClearOutputs();
    void UpdateTitle();
    void UpdateStatusLine();
    void UpdateMenus();
    // The typed point checked field by field; false (the user told, the
    // focus on the field) when it cannot be converted as it stands.
    bool CheckSourceTexts();
    // Runs one of the parameter commands on the session, then SessionChanged.
    template <class Command>
    void RunParameterCommand(Command command);
    void SetKindLabels(int firstLabel, int secondLabel, int thirdLabel, int kind);
    void ShowFilePage(bool filePage);
    // With the heights on, opens the grid they need unless it is open; false
    // (the user told) when it cannot be read.
    bool OpenHeightGrid();
};
