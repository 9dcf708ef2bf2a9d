// CCalcMultiDlg: transformation parameters from a table of common points by
// least squares. Each row holds a point's name, its three source and three
// target values and whether it takes part ("参与计算"); the cells are edited
// in place, rows added and deleted, the table imported from or saved as a
// common-point file. 计算 shows every point's residual with the columns of
// the report (redundancy, τ², marks), σ0, the test and the parameters, and
// draws the residual plot beside the table, its points selectable in both;
// a change to the table or to the settings clears them. 应用
// computes once more and ends the dialog with IDOK, m_result holding what
// the command stores.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"
#include "params/CommonPointFit.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/ListCtrl.h"

class CResidualPlotView;

class CCalcMultiDlg : public CDialog {
public:
    // `settings`: the projection that plane sides are read through.
    explicit CCalcMultiDlg(const ConversionParams& settings, CWnd* pParent = nullptr);

    // The table shown when the dialog opens.
    std::vector<CommonPoint> m_points;
    int m_sourceKind = kGeodeticKind;  // combo IDC_CALC_MULTI_SOURCE_KIND
    int m_sourceDatum = 2;             // combo IDC_CALC_MULTI_SOURCE_DATUM
    int m_targetKind = kPlaneKind;     // combo IDC_CALC_MULTI_TARGET_KIND
    int m_targetDatum = 0;             // combo IDC_CALC_MULTI_TARGET_DATUM
    int m_model = 0;                   // radios IDC_CALC_MULTI_SEVEN, _FOUR, _THREE
    int m_level = 0;                   // radios IDC_CALC_MULTI_LEVEL1, _LEVEL2 (four parameters)
    std::string m_tolerance;           // edit IDC_CALC_MULTI_TOLERANCE, metres; empty: the test only
    std::string m_alpha = "0.1";       // edit IDC_CALC_MULTI_ALPHA, significance in %
    int m_encoding = 0;                // combo IDC_CALC_MULTI_ENCODING: 自动, UTF-8, GB18030

    // The computation the dialog shows; none while the table or the settings
    // have changed since. Set when the dialog ends with IDOK.
    std::optional<CommonPointFit> m_result;

    CListCtrl m_table;  // IDC_CALC_MULTI_POINTS

    // The residual plot in the pane IDC_CALC_MULTI_PLOT, while the dialog is open.
    CResidualPlotView* PlotView() const { return m_plotView; }

    // Columns of the table.
    static constexpr int kUsedColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kSourceColumn = 2;    // three
    static constexpr int kTargetColumn = 5;    // three
    static constexpr int kResidualColumn = 8;  // three: north, east, up or x, y
    static constexpr int kNormColumn = 11;
    static constexpr int kRedundancyColumn = 12;  // the smallest redundancy number
    static constexpr int kStatisticColumn = 13;   // τ²
    // The report's marks: "*" fails the test, "!" beyond the tolerance, "?" poorly checked.
    static constexpr int kFlagColumn = 14;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter computes; the dialog ends only through 应用 and 关闭.
    void OnOK() override;
    // Asks before a table edited since it was last read or saved is lost.
    void OnCancel() override;

    void OnSidesChanged();
    void OnModelChanged();
    void OnToleranceChanged();
    void OnBeginEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnImport();
    void OnSavePoints();
    void OnAddRow();
    void OnDeleteRow();
    void OnCompute();
    void OnSaveReport();
    void OnApply();

    DECLARE_MESSAGE_MAP()

private:
    // Computes from what the dialog shows and shows the result; false, after
    // telling the user (and selecting the row at fault), when it cannot.
    bool Compute();
    std::vector<CommonPoint> ReadTable() const;
    void FillTable(const std::vector<CommonPoint>& points);
    void ShowResult(const CommonPointFit& result);
    void ClearResult();
    void SelectRow(int row);
    void UpdateHeadings();
    void UpdateButtons();

    ConversionParams m_settings;
    CResidualPlotView* m_plotView = nullptr;  // owned by its pane
    bool m_edited = false;                    // the table changed since it was read or saved
};
