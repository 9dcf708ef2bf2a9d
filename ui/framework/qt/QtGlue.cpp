#include "ui/framework/qt/QtGlue.h"

#include <QImage>
#include <QPixmap>
#include <QVariant>
#include <QWidget>
#include <map>

#include "platform/Platform.h"
#include "ui/resources/DialogTemplate.h"
#include "ui/resources/ResourceSet.h"

namespace {
constexpr char kWndProperty[] = "terrax_wnd";
}

QFont AfxDialogFont(const DialogTemplate& tpl) {
    QFont font(QString::fromLatin1(Platform::DialogFontFamily()));
    font.setPointSize(tpl.fontSize > 0 ? tpl.fontSize : kDefaultFontPoints);
    return font;
}

QIcon AfxQIcon(HICON icon) {
    if (icon == nullptr) return QIcon();
    // Kept for the life of the process (pixmaps must not outlive the
    // application object, so the cache is never destroyed).
    static auto* cache = new std::map<HICON, QIcon>;
    auto found = cache->find(icon);
    if (found != cache->end()) return found->second;
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(icon->png.data()),
                       static_cast<int>(icon->png.size()), "PNG");
    QIcon qicon(QPixmap::fromImage(image));
    cache->emplace(icon, qicon);
    return qicon;
}

CWnd* AfxWndFromWidget(const QWidget* widget) {
    if (widget == nullptr) return nullptr;
    return reinterpret_cast<CWnd*>(widget->property(kWndProperty).value<quintptr>());
}

void AfxBindWidget(QWidget* widget, CWnd* wnd) {
    if (widget == nullptr) return;
    widget->setProperty(kWndProperty, QVariant::fromValue(reinterpret_cast<quintptr>(wnd)));
}
