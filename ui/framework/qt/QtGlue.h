// Conversions between the framework's types and Qt's, for the framework's
// own .cpp files.
#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <string>

#include "ui/resources/WinDef.h"

class CWnd;
struct DialogTemplate;

// Every template font is drawn with the platform's Chinese font family
// (Platform::DialogFontFamily), at the template's size.
inline constexpr int kDefaultFontPoints = 9;

// The font of a dialog template: that family at its point size
// (kDefaultFontPoints when it names no font).
QFont AfxDialogFont(const DialogTemplate& tpl);

inline QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQString(const QString& text) {
    QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The icon of a resource; a null icon for nullptr.
QIcon AfxQIcon(HICON icon);

// The framework object that stands for a widget (the control's member object
// once one is attached), nullptr when none.
CWnd* AfxWndFromWidget(const QWidget* widget);
void AfxBindWidget(QWidget* widget, CWnd* wnd);
