// The controls of one dialog, property page or sheet: their widgets, made
// from the template, and the framework objects that stand for them. A user's
// action on a control becomes a notification message to the owner.
#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "ui/framework/DialogLayout.h"
#include "ui/framework/Wnd.h"
#include "ui/resources/DialogTemplate.h"

class CButton;
class CDialogUnits;
class QFont;

class CControlHost {
public:
    explicit CControlHost(CWnd* owner) : m_owner(owner) {}
    ~CControlHost();
    CControlHost(const CControlHost&) = delete;
    CControlHost& operator=(const CControlHost&) = delete;

    // Creates the template's controls, in template order, as children of
    // `parent`.
    void Create(const DialogTemplate& tpl, QWidget* parent, const CDialogUnits& units,
                const QFont& font);
    // Adds a control that the framework made itself (the buttons of a sheet).
    void AddControl(int id, ControlKind kind, DWORD style, QWidget* widget);

    CWnd* Find(int id) const;
    // Makes `member` the object of the control (DDX_Control).
    void Attach(int id, CWnd& member);
    // The auto radio buttons from the control `firstId`, which must start a
    // group, to the next control that starts one.
    std::vector<CButton*> RadioGroup(int firstId) const;
    // The first control that takes the focus with Tab, nullptr when none.
    QWidget* FirstTabStop() const;
    // Whether a list, table or pane of the template stretches when the parent
    // grows (DialogLayout.h).
    bool Stretches() const;
    // From now on the controls follow `parent`'s size beyond `base`, the
    // template's size.
    void FollowSize(QWidget* parent, int baseWidth, int baseHeight);
    // Places the controls for a parent of this size.
    void Place(int width, int height);
    // Forgets the controls: members are detached, notifications stop. The
    // widgets themselves go with their parent.
    void Destroy();

private:
    struct Entry {
        int id;
        ControlKind kind;
        DWORD style;
        bool autoRadio;
        QWidget* widget;
        std::unique_ptr<CWnd> wrapper;
        CWnd* member = nullptr;
    };

    QWidget* MakeWidget(const ControlTemplate& control, QWidget* parent, const CDialogUnits& units,
                        const QFont& font);
    void Connect(size_t index);
    void CheckRadio(size_t index);
    CWnd* Object(const Entry& entry) const {
        return entry.member ? entry.member : entry.wrapper.get();
    }
    const Entry* FindEntry(int id) const;

    CWnd* m_owner;
    std::vector<Entry> m_entries;
    std::unique_ptr<CDialogLayout> m_layout;  // over the controls of the template
    std::size_t m_laidOut = 0;                // how many entries it places
    QPointer<QObject> m_follower;             // of the parent whose size it follows
    int m_baseWidth = 0;
    int m_baseHeight = 0;
};
