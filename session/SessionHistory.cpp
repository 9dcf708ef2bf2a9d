#include "session/SessionHistory.h"

SessionSettings SessionSettings::Of(const ConversionSession& s) {
    SessionSettings t;
    t.params = s.m_params;
    t.inputs = s.m_inputs;
    t.zoneChange = s.m_zoneChange;
    t.sourceKind = s.m_sourceKind;
    t.targetKind = s.m_targetKind;
    t.sourceDatum = s.m_sourceDatum;
    t.targetDatum = s.m_targetDatum;
    t.useFour = s.m_useFour;
    t.useSeven = s.m_useSeven;
    t.heights = s.m_heights;
    const ConversionParams defaults;
    t.params.m_savedSourceDatum = t.sourceDatum;
    t.params.m_savedTargetDatum = t.targetDatum;
    t.params.m_savedUseFour = t.useFour;
    t.params.m_savedUseSeven = t.useSeven;
    for (int i = 0; i < 2; ++i) {
        t.params.m_sourceEllipsoid[i] = defaults.m_sourceEllipsoid[i];
        t.params.m_targetEllipsoid[i] = defaults.m_targetEllipsoid[i];
    }
    return t;
}

void SessionSettings::ApplyTo(ConversionSession& s) const {
    s.m_params = params;
    s.m_inputs = inputs;
    s.m_zoneChange = zoneChange;
    s.m_sourceKind = sourceKind;
    s.m_targetKind = targetKind;
    s.m_sourceDatum = sourceDatum;
    s.m_targetDatum = targetDatum;
    s.m_useFour = useFour;
    s.m_useSeven = useSeven;
    s.m_heights = heights;
    s.PrepareConversion();
}

void SessionHistory::Reset(const ConversionSession& s) {
    m_undo.clear();
    m_redo.clear();
    MarkSaved(s);
}

void SessionHistory::MarkSaved(const ConversionSession& s) {
    m_current = SessionSettings::Of(s);
    m_saved = m_current;
    for (int i = 0; i < 3; ++i) m_savedPoint[i] = s.m_sourceText[i];
}

bool SessionHistory::Record(const ConversionSession& s) {
    SessionSettings now = SessionSettings::Of(s);
    if (now == m_current) return false;
    m_undo.push_back(std::move(m_current));
    if (m_undo.size() > kDepth) m_undo.erase(m_undo.begin());
    m_current = std::move(now);
    m_redo.clear();
    return true;
}

bool SessionHistory::Undo(ConversionSession& s) {
    if (m_undo.empty()) return false;
    m_redo.push_back(std::move(m_current));
    m_current = std::move(m_undo.back());
    m_undo.pop_back();
    m_current.ApplyTo(s);
    return true;
}

bool SessionHistory::Redo(ConversionSession& s) {
    if (m_redo.empty()) return false;
    m_undo.push_back(std::move(m_current));
    m_current = std::move(m_redo.back());
    m_redo.pop_back();
    m_current.ApplyTo(s);
    return true;
}

bool SessionHistory::IsModified(const ConversionSession& s) const {
    for (int i = 0; i < 3; ++i) {
        if (s.m_sourceText[i] != m_savedPoint[i]) return true;
    }
    return !(SessionSettings::Of(s) == m_saved);
}
