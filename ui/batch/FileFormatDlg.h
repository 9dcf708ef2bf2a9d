// CFileFormatDlg: the user's file formats on three tabs — the stored
// formats, a new format, and how output files are named — and the choice of
// the format that the batch reads and writes by.
#pragma once

#include <string>
#include <vector>

#include "batch/FileFormat.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/TabCtrl.h"

class CFileFormatDlg : public CDialog {
public:
    explicit CFileFormatDlg(CWnd* pParent = nullptr);
    ~CFileFormatDlg() override;

    // Loading reads the whole table from the file beneath the archive,
    // storing writes it there (the store's GB18030 lines); the archive's own
    // buffer is not used.
    void Serialize(CArchive& ar) override;

    CTabCtrl m_tab;
    CListBox m_formatList;
    CListBox m_itemList;
    CComboBox m_separatorList;

    std::string m_name;          // edit IDC_FORMAT_NAME
    std::string m_extension;     // edit IDC_EXTENSION
    int m_separatorIndex = 0;    // drop-down list IDC_SEPARATOR: 0 ",", 1 " "
    std::string m_item;          // list IDC_DATA_ITEMS, the selected data item
    std::string m_itemLine;      // static IDC_ITEM_LINE, item line of the new format
    std::string m_selectedLine;  // static IDC_SELECTED_ITEMS, items of the selected format
    std::string m_description;   // edit IDC_DESCRIPTION; never stored
    int m_naming = 1;            // radios IDC_NAMING_OVERWRITE, _EXTENSION, _FILE_NAME

    // The table, in list order; as many formats as the store holds.
    std::vector<FileFormat> m_formats;

    // The format chosen with OK. m_formatChosen is false when OK ended the
    // dialog with no format to choose (the table was empty).
    int m_column[3] = {-1, -1, -1};
    std::string m_chosenName;
    std::string m_chosenExtension;
    std::string m_chosenSeparator;
    bool m_formatChosen = false;

    int m_selected = 0;  // selected entry of IDC_FORMAT_LIST, -1 for none

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnSelchangeTab(NMHDR* pNMHDR, LRESULT* pResult);
    void OnNewFormat();
    void OnFinishNewFormat();
    void OnDeleteFormat();
    void OnAddItem();
    void OnClearItems();
    void OnSelchangeFormatList();
    void OnSelchangeSeparator();
    void OnNamingOverwrite();
    void OnNamingExtension();
    void OnNamingFileName();

    // Lists the table in IDC_FORMAT_LIST and selects the entry at m_selected.
    void FillFormatList();

    DECLARE_MESSAGE_MAP()

private:
    // Shows the controls of tab `page` and sets the buttons for it.
    void ShowPage(int page);
};
