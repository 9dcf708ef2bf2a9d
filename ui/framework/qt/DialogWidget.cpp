#include "ui/framework/qt/DialogWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>

#include "ui/resources/WinDef.h"

namespace {
QWidget* g_painting = nullptr;
}

CDialogWidget::CDialogWidget(DialogWidgetOwner* owner, QWidget* parent)
    : QDialog(parent), m_owner(owner), m_client(new QWidget(this)) {
    m_client->move(0, 0);
}

QWidget* CDialogWidget::Painting() { return g_painting; }

void CDialogWidget::SetClientSize(int width, int height, bool resizable) {
    m_clientWidth = width;
    m_clientHeight = height;
    m_resizable = resizable;
    Relayout();
}

void CDialogWidget::SetMenuBar(QMenuBar* bar) {
    delete m_menuBar;
    m_menuBar = bar;
    Relayout();
}

void CDialogWidget::SetStatusBar(QWidget* bar) {
    delete m_statusBar;
    m_statusBar = bar;
    Relayout();
}

void CDialogWidget::Relayout() {
    int menuHeight = m_menuBar != nullptr ? m_menuBar->sizeHint().height() : 0;
    int statusHeight = m_statusBar != nullptr ? m_statusBar->sizeHint().height() : 0;
    int width = m_clientWidth;
    int height = m_clientHeight + menuHeight + statusHeight;
    if (m_resizable) {
        setMinimumSize(width, height);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(width, height);
    } else {
        setFixedSize(width, height);
    }
    if (m_menuBar != nullptr) m_menuBar->setGeometry(0, 0, width, menuHeight);
    m_client->setGeometry(0, menuHeight, width, m_clientHeight);
    if (m_statusBar != nullptr) {
        m_statusBar->setGeometry(0, menuHeight + m_clientHeight, width, statusHeight);
    }
}

void CDialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    int menuHeight = m_menuBar != nullptr ? m_menuBar->height() : 0;
    int statusHeight = m_statusBar != nullptr ? m_statusBar->height() : 0;
    if (m_menuBar != nullptr) m_menuBar->resize(width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), height() - menuHeight - statusHeight);
    if (m_statusBar != nullptr) {
        m_statusBar->setGeometry(0, height() - statusHeight, width(), statusHeight);
    }
}

void CDialogWidget::keyPressEvent(QKeyEvent* event) {
    bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr && focused->isEnabled() && isAncestorOf(focused)) {
            focused->click();
            return;
        }
        m_owner->DialogEnter(m_defaultId ? m_defaultId() : IDOK);
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        m_owner->DialogEscape();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CDialogWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_owner->DialogCloseBox();
}

void CDialogWidget::reject() {
    m_owner->DialogReject();
}

void CDialogWidget::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QWidget* previous = g_painting;
    g_painting = this;
    m_owner->DialogPaint();
    g_painting = previous;
}
