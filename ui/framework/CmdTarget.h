// Base of every object that receives commands through a message map: the
// application and the windows.
#pragma once

#include <functional>

#include "ui/framework/MessageMap.h"

class CArchive;

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Looks up a command (nCode CN_COMMAND) or control notification in the
    // message map chain and calls its handler; FALSE when no entry matches.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // Saving and loading of the object's data; nothing by default.
    virtual void Serialize(CArchive& ar);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the chain for the message, code and ID; nullptr when none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
    // Every entry of the chain, most derived class first.
    void ForEachMessageEntry(const std::function<void(const AFX_MSGMAP_ENTRY&)>& visit) const;
};
