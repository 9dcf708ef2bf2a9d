// Dialog units: positions in templates are measured in quarters of the
// dialog font's average character width (x) and eighths of its height (y).
// The average width is that of "A".."Z" "a".."z" divided by 52 and rounded,
// as Windows computes it.
#pragma once

#include "ui/resources/WinDef.h"

class QFont;

class CDialogUnits {
public:
    CDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}
    explicit CDialogUnits(const QFont& font);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }
    // Pixels of a length in dialog units, rounded like Windows' MulDiv.
    int X(int du) const { return MulDiv(du, m_baseX, 4); }
    int Y(int du) const { return MulDiv(du, m_baseY, 8); }
    // Maps each of the four sides.
    void MapRect(LPRECT rect) const;

    // a * b / c rounded to the nearest integer, halves away from zero.
    static int MulDiv(int a, int b, int c);

private:
    int m_baseX;
    int m_baseY;
};
