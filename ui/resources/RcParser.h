// Reader of resource scripts: the subset of the Windows resource-script
// language that our templates use, in UTF-8.
//
//   <id> DIALOG x, y, cx, cy           <id> MENU              <id> DLGINIT
//   STYLE <styles>                     BEGIN                  BEGIN
//   EXSTYLE <styles>                       POPUP "text"           <control id>, "text"
//   CAPTION "text"                         BEGIN                  ...
//   FONT <points>, "name"                      MENUITEM "text", <id>
//   BEGIN                                      MENUITEM SEPARATOR
//       <control statements>                   POPUP ... (nested)
//   END                                    END
//                                          MENUITEM "text", <id>
//                                      END
//
// Control statements (the style list is optional except for CONTROL):
//   LTEXT | RTEXT | CTEXT | GROUPBOX | PUSHBUTTON | DEFPUSHBUTTON "text", id, x, y, cx, cy [,
//   styles] EDITTEXT | COMBOBOX | LISTBOX id, x, y, cx, cy [, styles] ICON <icon id> | "name", id,
//   x, y, cx, cy [, styles] CONTROL "text", id, "class", styles, x, y, cx, cy
// with the classes Button, Static, Edit, ComboBox, ListBox and SysTabControl32.
//
// Styles are names joined by "|"; "NOT name" removes a style. Each keyword
// starts from the default styles the resource compiler gives it; the type of
// a button, combo box, static or the alignment of an edit is replaced, not
// combined, when named. A style that does not apply to the control is an
// error. Numbers are decimal; IDs are -1 or 0..65535. Strings are in double
// quotes, "" stands for one quote, and a string ends on its line. "//" starts
// a comment that runs to the end of the line.
//
// An ID may be given by name. A script names IDs with lines between its
// resources:
//   #define NAME number
//   #include "file"        a header of such lines (and comments, #pragma once),
//                          found beside the script among the headers given
// and knows the framework's names (IDOK, IDCANCEL, IDC_STATIC, ID_FILE_NEW,
// ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_ABOUT, ID_APP_EXIT,
// ID_HELP) without them. A name used before it is defined is an error, and
// so is a name defined twice.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/resources/DialogTemplate.h"

// Initial strings of combo and list boxes of one dialog.
struct DlgInitTemplate {
    struct Entry {
        int controlId = 0;
        std::string text;
        int line = 0;
    };
    int dialogId = 0;
    std::vector<Entry> entries;
    std::string file;
    int line = 0;
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;
    std::vector<MenuTemplate> menus;
    std::vector<DlgInitTemplate> dlgInits;
    // The names the script and its headers defined, with their IDs.
    std::map<std::string, int> names;
};

// Headers that scripts may include: path ("res/resource.h") to text.
using ResourceHeaders = std::map<std::string, std::string>;

class CRcParser {
public:
    // Reads a whole script. On failure returns false and sets `error` to
    // "file:line: what is wrong" (the file is the header when the fault is in
    // one); `out` is then unspecified. An #include "x" in "dir/a.rc" reads
    // headers["dir/x"].
    static bool Parse(std::string_view text, const std::string& fileName, ResourceScript* out,
                      std::string* error, const ResourceHeaders* headers = nullptr);
};
