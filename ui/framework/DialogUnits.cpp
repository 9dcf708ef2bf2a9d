#include "ui/framework/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

CDialogUnits::CDialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (width / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int CDialogUnits::MulDiv(int a, int b, int c) {
    long long product = static_cast<long long>(a) * b;
    long long half = c / 2;
    long long result = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(result);
}

void CDialogUnits::MapRect(LPRECT rect) const {
    rect->left = X(rect->left);
    rect->right = X(rect->right);
    rect->top = Y(rect->top);
    rect->bottom = Y(rect->bottom);
}
