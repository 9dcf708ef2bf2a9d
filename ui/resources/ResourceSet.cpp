#include "ui/resources/ResourceSet.h"

#include <QtGlobal>

namespace {

std::string Where(const std::string& file, int line) { return file + ":" + std::to_string(line); }

}  // namespace

bool CResourceSet::Load(std::string_view text, const std::string& fileName, std::string* error) {
    ResourceScript script;
    if (!CRcParser::Parse(text, fileName, &script, error, &m_headers)) return false;

    std::map<int, DialogTemplate> dialogs = m_dialogs;
    for (DialogTemplate& dlg : script.dialogs) {
        auto found = dialogs.find(dlg.id);
        if (found != dialogs.end()) {
            *error = Where(dlg.file, dlg.line) + ": dialog " + std::to_string(dlg.id) +
                     " is defined twice (first at " +
                     Where(found->second.file, found->second.line) + ")";
            return false;
        }
        int id = dlg.id;
        dialogs.emplace(id, std::move(dlg));
    }
    std::map<int, MenuTemplate> menus = m_menus;
    for (MenuTemplate& menu : script.menus) {
        auto found = menus.find(menu.id);
        if (found != menus.end()) {
            *error = Where(menu.file, menu.line) + ": menu " + std::to_string(menu.id) +
                     " is defined twice (first at " +
                     Where(found->second.file, found->second.line) + ")";
            return false;
        }
        int id = menu.id;
        menus.emplace(id, std::move(menu));
    }
    for (const DlgInitTemplate& init : script.dlgInits) {
        auto found = dialogs.find(init.dialogId);
        if (found == dialogs.end()) {
            *error = Where(init.file, init.line) + ": DLGINIT " + std::to_string(init.dialogId) +
                     " names no dialog";
            return false;
        }
        DialogTemplate& dlg = found->second;
        if (dlg.hasDlgInit) {
            *error = Where(init.file, init.line) + ": DLGINIT " + std::to_string(init.dialogId) +
                     " is given twice";
            return false;
        }
        dlg.hasDlgInit = true;
        for (const DlgInitTemplate::Entry& entry : init.entries) {
            int index = dlg.IndexOf(entry.controlId);
            if (index < 0) {
                *error = Where(init.file, entry.line) + ": dialog " + std::to_string(dlg.id) +
                         " has no control " + std::to_string(entry.controlId);
                return false;
            }
            ControlTemplate& control = dlg.controls[static_cast<size_t>(index)];
            if (control.kind != ControlKind::ComboBox && control.kind != ControlKind::ListBox) {
                *error = Where(init.file, entry.line) + ": control " +
                         std::to_string(entry.controlId) + " is a " +
                         ControlKindName(control.kind) + ", not a combo or list box";
                return false;
            }
            control.initialStrings.push_back(entry.text);
        }
    }
    // Insert rather than replace the maps, so that templates handed out
    // before stay where they are.
    for (auto& [id, dlg] : dialogs) {
        auto existing = m_dialogs.find(id);
        if (existing == m_dialogs.end()) {
            m_dialogs.emplace(id, std::move(dlg));
        } else if (dlg.hasDlgInit && !existing->second.hasDlgInit) {
            existing->second = std::move(dlg);
        }
    }
    for (auto& [id, menu] : menus) m_menus.emplace(id, std::move(menu));
    return true;
}

void CResourceSet::AddHeader(const std::string& path, std::string text) {
    m_headers[path] = std::move(text);
}

void CResourceSet::AddIcon(int id, std::string png) {
    m_icons[id] = IconResource{id, std::move(png)};
}

const DialogTemplate* CResourceSet::FindDialog(int id) const {
    auto found = m_dialogs.find(id);
    return found == m_dialogs.end() ? nullptr : &found->second;
}

const MenuTemplate* CResourceSet::FindMenu(int id) const {
    auto found = m_menus.find(id);
    return found == m_menus.end() ? nullptr : &found->second;
}

HICON CResourceSet::FindIcon(int id) const {
    auto found = m_icons.find(id);
    return found == m_icons.end() ? nullptr : &found->second;
}

CResourceSet& AfxGetResources() {
    static CResourceSet resources;
    return resources;
}

void AfxRegisterResourceScript(const std::string& fileName, std::string_view text) {
    std::string error;
    if (!AfxGetResources().Load(text, fileName, &error))
        qFatal("resource script: %s", error.c_str());
}

void AfxRegisterResourceHeader(const std::string& path, std::string_view text) {
    AfxGetResources().AddHeader(path, std::string(text));
}

void AfxRegisterIcon(int id, const unsigned char* png, std::size_t size) {
    AfxGetResources().AddIcon(id, std::string(reinterpret_cast<const char*>(png), size));
}
