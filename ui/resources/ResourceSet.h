// The dialog templates, menus and icons of the program, looked up by ID.
//
// The program's own resources are embedded in the executable (res/*.rc, the
// headers they include, res/*.h, and res/icon<ID>.png, turned into code by
// res/CMakeLists.txt) and registered with the process-wide set before main;
// tests load their own scripts from strings.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "ui/resources/DialogTemplate.h"
#include "ui/resources/RcParser.h"

// An icon: PNG bytes, decoded when first drawn.
struct IconResource {
    int id = 0;
    std::string png;
};

class CResourceSet {
public:
    // Reads a script and adds what it defines. All or nothing: on an error
    // (syntax, a second dialog, menu or DLGINIT with an ID already defined, a
    // DLGINIT naming a missing dialog or control, or one that is not a combo
    // or list box) nothing is added, false is returned and `error` says
    // "file:line: what".
    bool Load(std::string_view text, const std::string& fileName, std::string* error);
    // A header that scripts loaded later may #include; `path` as a script
    // beside it would name it ("res/resource.h" for "res/main.rc").
    void AddHeader(const std::string& path, std::string text);
    void AddIcon(int id, std::string png);

    const ResourceHeaders& Headers() const { return m_headers; }
    const DialogTemplate* FindDialog(int id) const;
    const MenuTemplate* FindMenu(int id) const;
    HICON FindIcon(int id) const;

private:
    ResourceHeaders m_headers;
    std::map<int, DialogTemplate> m_dialogs;
    std::map<int, MenuTemplate> m_menus;
    std::map<int, IconResource> m_icons;
};

// The process-wide set.
CResourceSet& AfxGetResources();

// Loads a script into the process-wide set; a script that does not load is a
// fatal error that names the file, the line and the fault.
void AfxRegisterResourceScript(const std::string& fileName, std::string_view text);
void AfxRegisterResourceHeader(const std::string& path, std::string_view text);
void AfxRegisterIcon(int id, const unsigned char* png, std::size_t size);
