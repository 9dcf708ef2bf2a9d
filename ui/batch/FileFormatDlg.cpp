#include "ui/batch/FileFormatDlg.h"

#include <string_view>

#include "batch/FormatStore.h"
#include "io/Archive.h"
#include "io/File.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/MessageMap.h"

namespace {

constexpr char kNameAndExtensionMissing[] = "请输入文件类型名称和后缀";
constexpr char kNoFormatSelected[] = "请在“文件格式”页中选定一种文件格式";

// A format whose separator no line can be cut at (a store edited by hand).
std::string BadSeparatorMessage(const FileFormat& f) {
    return "文件格式“" + f.name + "”的分隔符“" + f.separator +
           "”不能使用：分隔符只能是半角逗号“,”或空格。请删除这种格式，在“自定义格式”页重新定义它。";
}

// The controls of each tab.
constexpr int kFormatsPage[] = {IDC_FORMAT_LIST, IDC_SELECTED_ITEMS};
constexpr int kNewFormatPage[] = {IDC_FORMAT_NAME_LABEL, IDC_FORMAT_NAME,     IDC_DESCRIPTION_LABEL,
                                  IDC_DESCRIPTION,       IDC_EXTENSION_LABEL, IDC_EXTENSION,
                                  IDC_SEPARATOR_LABEL,   IDC_SEPARATOR,       IDC_DATA_ITEMS_LABEL,
                                  IDC_DATA_ITEMS,        IDC_ADD_ITEM,        IDC_CLEAR_ITEMS,
                                  IDC_ITEM_LINE};
constexpr int kNamingPage[] = {IDC_NAMING_OVERWRITE, IDC_NAMING_EXTENSION, IDC_NAMING_FILE_NAME};

}  // namespace

BEGIN_MESSAGE_MAP(CFileFormatDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGE, IDC_FORMAT_TAB, OnSelchangeTab)
    ON_BN_CLICKED(IDC_NEW_FORMAT, OnNewFormat)
    ON_BN_CLICKED(IDC_FINISH_FORMAT, OnFinishNewFormat)
    ON_BN_CLICKED(IDC_DELETE_FORMAT, OnDeleteFormat)
    ON_BN_CLICKED(IDC_ADD_ITEM, OnAddItem)
    ON_BN_CLICKED(IDC_CLEAR_ITEMS, OnClearItems)
    ON_LBN_SELCHANGE(IDC_FORMAT_LIST, OnSelchangeFormatList)
    ON_CBN_SELCHANGE(IDC_SEPARATOR, OnSelchangeSeparator)
    ON_BN_CLICKED(IDC_NAMING_OVERWRITE, OnNamingOverwrite)
    ON_BN_CLICKED(IDC_NAMING_EXTENSION, OnNamingExtension)
    ON_BN_CLICKED(IDC_NAMING_FILE_NAME, OnNamingFileName)
END_MESSAGE_MAP()

CFileFormatDlg::CFileFormatDlg(CWnd* pParent) : CDialog(IDD_FILE_FORMAT, pParent) {}

CFileFormatDlg::~CFileFormatDlg() = default;

void CFileFormatDlg::Serialize(CArchive& ar) {
    CFile* file = ar.GetFile();
    if (ar.IsStoring()) {
        const std::string bytes = FormatStoreBytes(m_formats);
        file->Write(bytes.data(), bytes.size());
        return;
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const std::size_t n = file->Read(buffer, sizeof buffer);
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    m_formats = ParseFormatStore(bytes);
}

void CFileFormatDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FORMAT_TAB, m_tab);
    DDX_Control(pDX, IDC_FORMAT_LIST, m_formatList);
    DDX_Control(pDX, IDC_DATA_ITEMS, m_itemList);
    DDX_Control(pDX, IDC_SEPARATOR, m_separatorList);
    DDX_Text(pDX, IDC_FORMAT_NAME, m_name);
    DDX_Text(pDX, IDC_EXTENSION, m_extension);
    DDX_CBIndex(pDX, IDC_SEPARATOR, m_separatorIndex);
    DDX_LBString(pDX, IDC_DATA_ITEMS, m_item);
    DDX_Text(pDX, IDC_ITEM_LINE, m_itemLine);
    DDX_Text(pDX, IDC_SELECTED_ITEMS, m_selectedLine);
    DDX_Text(pDX, IDC_DESCRIPTION, m_description);
    DDX_Radio(pDX, IDC_NAMING_OVERWRITE, m_naming);
}

BOOL CFileFormatDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tab.InsertItem(0, "文件格式");
    m_tab.InsertItem(1, "自定义格式");
    m_tab.InsertItem(2, "转换方式");
    FillFormatList();
    for (const char* item : kDataItems) m_itemList.AddString(item);
    return TRUE;
}

void CFileFormatDlg::ShowPage(int page) {
    for (int id : kFormatsPage) GetDlgItem(id)->ShowWindow(page == 0 ? SW_SHOW : SW_HIDE);
    for (int id : kNewFormatPage) GetDlgItem(id)->ShowWindow(page == 1 ? SW_SHOW : SW_HIDE);
    for (int id : kNamingPage) GetDlgItem(id)->ShowWindow(page == 2 ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_NEW_FORMAT)->EnableWindow(page == 1);
    GetDlgItem(IDC_FINISH_FORMAT)->EnableWindow(page == 1);
    GetDlgItem(IDC_DELETE_FORMAT)->EnableWindow(page == 0);
    if (page == 0) {
        FillFormatList();
    } else if (page == 1) {
        m_itemList.SetCurSel(0);
    }
}

void CFileFormatDlg::OnSelchangeTab(NMHDR*, LRESULT* pResult) {
    ShowPage(m_tab.GetCurSel());
    *pResult = 0;
}

void CFileFormatDlg::FillFormatList() {
    m_formatList.ResetContent();
    if (m_formats.empty()) return;
    for (const FileFormat& f : m_formats) {
        m_formatList.AddString(f.name + " (*." + f.extension + ")");
    }
    m_formatList.SetCurSel(m_selected);
    OnSelchangeFormatList();
}

// Every handler that fills the controls reads them first, so that what the
// user has typed and not yet confirmed stays in its field.

void CFileFormatDlg::OnSelchangeFormatList() {
    UpdateData(TRUE);
    m_selected = m_formatList.GetCurSel();
    if (m_selected < 0 || m_selected >= static_cast<int>(m_formats.size())) {
        m_selected = -1;
        m_selectedLine.clear();
    } else {
        m_selectedLine = m_formats[static_cast<std::size_t>(m_selected)].itemLine;
    }
    UpdateData(FALSE);
}

void CFileFormatDlg::OnNewFormat() {
    UpdateData(TRUE);
    m_name.clear();
    m_extension.clear();
    m_itemLine.clear();
    UpdateData(FALSE);
}

void CFileFormatDlg::OnAddItem() {
    UpdateData(TRUE);
    m_itemLine += m_item + SeparatorChar(m_separatorIndex);
    UpdateData(FALSE);
}

void CFileFormatDlg::OnClearItems() {
    UpdateData(TRUE);
    m_itemLine.clear();
    UpdateData(FALSE);
}

// The item line always ends its items with the format's separator: a new
// choice rewrites the separators already in the line. The data items hold
// neither a comma nor a blank.
void CFileFormatDlg::OnSelchangeSeparator() {
    UpdateData(TRUE);
    const std::string separator = SeparatorChar(m_separatorIndex);
    if (separator.empty()) return;
    for (char& c : m_itemLine) {
        if (c == ',' || c == ' ') c = separator.front();
    }
    UpdateData(FALSE);
}

void CFileFormatDlg::OnFinishNewFormat() {
    UpdateData(TRUE);
    const std::string separator = SeparatorChar(m_separatorIndex);
    if (m_name.empty() || m_extension.empty()) {
        AfxMessageBox(kNameAndExtensionMissing, MB_OK);
        return;
    }
    m_formats.push_back({m_name, m_extension, separator, m_itemLine});
}

void CFileFormatDlg::OnDeleteFormat() {
    const int index = m_formatList.GetCurSel();
    if (index < 0 || index >= static_cast<int>(m_formats.size())) return;
    m_formats.erase(m_formats.begin() + index);
    m_formatList.DeleteString(index);
    if (m_formatList.GetCount() > 0) {
        m_formatList.SetCurSel(0);
        OnSelchangeFormatList();
        return;
    }
    // An empty list: a format created next is selected when tab 0 shows it.
    UpdateData(TRUE);
    m_selected = 0;
    m_selectedLine.clear();
    UpdateData(FALSE);
}

void CFileFormatDlg::OnNamingOverwrite() { m_naming = 0; }
void CFileFormatDlg::OnNamingExtension() { m_naming = 1; }
void CFileFormatDlg::OnNamingFileName() { m_naming = 2; }

void CFileFormatDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    const int index = m_formatList.GetCurSel();
    const bool valid = index >= 0 && index < static_cast<int>(m_formats.size());
    if (!valid && !m_formats.empty()) {
        // Never hand over a format that is not there: let the user pick one.
        AfxMessageBox(kNoFormatSelected, MB_OK | MB_ICONINFORMATION);
        m_tab.SetCurSel(0);
        ShowPage(0);
        return;
    }
    if (valid && !IsUsableSeparator(m_formats[static_cast<std::size_t>(index)].separator)) {
        AfxMessageBox(BadSeparatorMessage(m_formats[static_cast<std::size_t>(index)]),
                      MB_OK | MB_ICONWARNING);
        return;
    }
    m_column[0] = m_column[1] = m_column[2] = -1;
    m_formatChosen = valid;
    if (valid) {
        const FileFormat& f = m_formats[static_cast<std::size_t>(index)];
        m_selected = index;
        m_chosenName = f.name;
        m_chosenExtension = f.extension;
        m_chosenSeparator = f.separator;
        DeriveColumns(f, m_column);
    } else {
        m_chosenName.clear();
        m_chosenExtension.clear();
        m_chosenSeparator.clear();
    }
    EndDialog(IDOK);
}
