// Undo and redo of the session's parameters, and whether the session holds
// changes that are not in its project file. Neither reads a control: the
// window records the session after each change it makes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "session/ConversionSession.h"

// What undo and redo restore: the parameters, projections, zone change,
// kinds, datums and switches, the heights, and the remembered inputs of the computing
// dialogs. The typed point and the batch's files are not part of it.
struct SessionSettings {
    ConversionParams params;
    RememberedInputs inputs;
    int zoneChange = 0;
    int sourceKind = 2;
    int targetKind = 2;
    int sourceDatum = 0;
    int targetDatum = 0;
    int useFour = 0;
    int useSeven = 0;
    SessionHeights heights;  // the switch 高程拟合, the model and the geoid

    // The record's copies of the switches and datums and its ellipsoids
    // follow the choices; they are taken from those, not from the record.
    static SessionSettings Of(const ConversionSession& s);
    void ApplyTo(ConversionSession& s) const;
    bool operator==(const SessionSettings&) const = default;
};

class SessionHistory {
public:
    // Steps kept back; older ones are dropped.
    static constexpr std::size_t kDepth = 100;

    // After open or new: no undo, no redo, and `s` is what the file holds.
    void Reset(const ConversionSession& s);
    // After a save: `s` is what the file holds; the steps stay.
    void MarkSaved(const ConversionSession& s);
    // Takes in the session after a change; a new state clears the redo
    // steps. False when the settings did not change.
    bool Record(const ConversionSession& s);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // Puts the previous (next) settings into `s`; false when there is none.
    bool Undo(ConversionSession& s);
    bool Redo(ConversionSession& s);

    // The settings or the typed point differ from the file's.
    bool IsModified(const ConversionSession& s) const;

private:
    std::vector<SessionSettings> m_undo;
    std::vector<SessionSettings> m_redo;
    SessionSettings m_current;
    SessionSettings m_saved;
    std::string m_savedPoint[3];
};
