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
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/DialogTemplate.h"

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
};

class CRcParser {
public:
    // Reads a whole script. On failure returns false and sets `error` to
    // "file:line: what is wrong"; `out` is then unspecified.
    static bool Parse(std::string_view text, const std::string& fileName, ResourceScript* out,
                      std::string* error);
};
