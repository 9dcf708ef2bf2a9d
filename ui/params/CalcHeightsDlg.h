// CCalcHeightsDlg (高程拟合): the height anomaly ζ = h − H as a surface fitted
// to a table of common points that have both heights. Each row holds a
// point's name, its horizontal position (plane x, y through the session's
// projection, or geodetic B, L), its ellipsoidal height h and its normal
// height H, and whether it takes part ("参与计算"); the cells are edited in
// place, rows added and deleted, the table imported from or saved as a
// common-height file. Positions are of CGCS2000 (the datum of GNSS heights).
// The surface is a constant, a plane or a quadric, alone or on top of a
// geoid grid (none, EGM96, a file). 计算 (params/CommonHeightFit) shows
// every point's residual in millimetres with the report's columns, σ0, the
// report and the residual plot beside the table, its points selectable in
// both; a change to the table or to the settings clears them. 应用 computes once more and
// ends the dialog with IDOK, m_result holding what the command stores; 关闭
// ends it with IDCANCEL. Either way m_inputs keeps the table for the next
// opening.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"
#include "params/CommonHeightFit.h"
#include "session/ConversionSession.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/ListCtrl.h"

class CResidualPlotView;
class GeoidGrid;

class CCalcHeightsDlg : public CDialog {
public:
    // `settings`: the projection that plane positions are read through.
    explicit CCalcHeightsDlg(const ConversionParams& settings, CWnd* pParent = nullptr);

    // The table and choices shown when the dialog opens; what it shows when
    // it ends (whatever the button), for the next opening.
    HeightDialogInputs m_inputs;

    // The computation the dialog shows; none while the table or the settings
    // have changed since. Set when the dialog ends with IDOK.
    std::optional<CommonHeightFit> m_result;

    CListCtrl m_table;  // IDC_CALC_HEIGHTS_POINTS

    // The residual plot in the pane IDC_CALC_HEIGHTS_PLOT, while the dialog is open.
    CResidualPlotView* PlotView() const { return m_plotView; }

    // Kinds of the horizontal position, the order of IDC_CALC_HEIGHTS_KIND.
    static constexpr int kPlanePositions = 0;
    static constexpr int kGeodeticPositions = 1;
    // Choices of IDC_CALC_HEIGHTS_GEOID.
    static constexpr int kNoGeoid = 0;
    static constexpr int kEgm96Geoid = 1;
    static constexpr int kFileGeoid = 2;

    // Columns of the table.
    static constexpr int kUsedColumn = 0;
    static constexpr int kNameColumn = 1;
    static constexpr int kValueColumn = 2;  // four: x or B, y or L, h, H
    // The report's cells: the residual in millimetres, the redundancy number,
    // τ² and the marks ("*" fails the test, "!" beyond the tolerance, "?"
    // poorly checked).
    static constexpr int kResidualColumn = 6;
    static constexpr int kRedundancyColumn = 7;
    static constexpr int kStatisticColumn = 8;
    static constexpr int kFlagColumn = 9;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter computes; the dialog ends only through 应用 and 关闭.
    void OnOK() override;
    void OnCancel() override;

    void OnKindChanged();
    void OnSettingsChanged();
    void OnGeoidChanged();
    void OnBrowseGeoid();
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
    // The grid of the geoid choice; null after telling the user when it
    // cannot be read. *name: the name the session keeps.
    std::shared_ptr<const GeoidGrid> Geoid(std::string* name);
    std::vector<HeightRowText> ReadTable() const;
    void FillTable(const std::vector<HeightRowText>& rows);
    void ShowResult(const CommonHeightFit& result);
    void ClearResult();
    void SelectRow(int row);
    void UpdateHeadings();
    void UpdateButtons();
    // Keeps what the dialog shows in m_inputs.
    void Remember();

    ConversionParams m_settings;
    CResidualPlotView* m_plotView = nullptr;  // owned by its pane
    // The last grid read and the name it was read by.
    std::shared_ptr<const GeoidGrid> m_grid;
    std::string m_gridName;
};
