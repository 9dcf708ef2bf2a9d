#include "batch/FileFormatDlg.h"

#include <string_view>

#include "batch/FormatStore.h"
#include "framework/Archive.h"
#include "framework/DataExchange.h"
#include "framework/File.h"
#include "framework/MessageBox.h"
#include "framework/MessageMap.h"

namespace {

constexpr char kNameAndExtensionMissing[] = "请输入文件类型名称和后缀";
constexpr char kNoFormatSelected[] = "请在“文件格式”页中选定一种文件格式";

// A format whose separator no line can be cut at (a store edited by hand).
std::string BadSeparatorMessage(const FileFormat& f) {
    return "文件格式“" + f.name + "”的分隔符“" + f.separator +
           "”不能使用：分隔符只能是半角逗号“,”或空格。请删除这种格式，在“自定义格式”页重新定义它。";
}

// The controls of each tab.
constexpr int kFormatsPage[] = {1043, 1060};
constexpr int kNewFormatPage[] = {1045, 1046, 1049, 1050, 1056, 1052, 1055,
                                  1053, 1048, 1047, 1178, 1051, 1054};
constexpr int kNamingPage[] = {1061, 1024, 1027};

}  // namespace

BEGIN_MESSAGE_MAP(CFileFormatDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGE, 1042, OnSelchangeTab)
    ON_BN_CLICKED(1057, OnNewFormat)
    ON_BN_CLICKED(1058, OnFinishNewFormat)
    ON_BN_CLICKED(1179, OnDeleteFormat)
    ON_BN_CLICKED(1178, OnAddItem)
    ON_BN_CLICKED(1051, OnClearItems)
    ON_LBN_SELCHANGE(1043, OnSelchangeFormatList)
    ON_CBN_SELCHANGE(1053, OnSelchangeSeparator)
    ON_BN_CLICKED(1061, OnNamingOverwrite)
    ON_BN_CLICKED(1024, OnNamingExtension)
    ON_BN_CLICKED(1027, OnNamingFileName)
END_MESSAGE_MAP()

CFileFormatDlg::CFileFormatDlg(CWnd* pParent) : CDialog(134, pParent) {}

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
    DDX_Control(pDX, 1042, m_tab);
    DDX_Control(pDX, 1043, m_formatList);
    DDX_Control(pDX, 1047, m_itemList);
    DDX_Control(pDX, 1053, m_separatorList);
    DDX_Text(pDX, 1046, m_name);
    DDX_Text(pDX, 1052, m_extension);
    DDX_CBIndex(pDX, 1053, m_separatorIndex);
    DDX_LBString(pDX, 1047, m_item);
    DDX_Text(pDX, 1054, m_itemLine);
    DDX_Text(pDX, 1060, m_selectedLine);
    DDX_Text(pDX, 1050, m_description);
    DDX_Radio(pDX, 1061, m_naming);
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
    GetDlgItem(1057)->EnableWindow(page == 1);
    GetDlgItem(1058)->EnableWindow(page == 1);
    GetDlgItem(1179)->EnableWindow(page == 0);
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
