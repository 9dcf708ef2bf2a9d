// The Qt window of a dialog or property sheet: a menu bar (when the dialog
// has a menu) above the client area that holds the controls. Keys, the close
// box and painting go to the framework window that owns it: Enter clicks the
// focused push button or sends the default command (IDOK unless a
// DEFPUSHBUTTON names another), Escape sends IDCANCEL, the close box sends
// WM_SYSCOMMAND SC_CLOSE, and painting sends WM_PAINT.
#pragma once

#include <QDialog>
#include <functional>

#include "ui/framework/qt/DialogWidgetOwner.h"

class QMenuBar;

class CDialogWidget : public QDialog {
public:
    CDialogWidget(DialogWidgetOwner* owner, QWidget* parent);

    QWidget* Client() const { return m_client; }
    // Sizes the window to a client area of this size below the menu bar;
    // without `resizable` the user cannot change the size, with it not make
    // it smaller.
    void SetClientSize(int width, int height, bool resizable);
    // nullptr removes the menu bar. The window grows or shrinks with it.
    void SetMenuBar(QMenuBar* bar);
    QMenuBar* MenuBar() const { return m_menuBar; }
    // A line below the client area (a status line); nullptr removes it. The
    // window grows or shrinks with it.
    void SetStatusBar(QWidget* bar);
    QWidget* StatusBar() const { return m_statusBar; }
    void SetDefaultCommand(std::function<int()> defaultId) { m_defaultId = std::move(defaultId); }

    // The widget being painted while WM_PAINT is handled, else nullptr.
    static QWidget* Painting();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public:
    void reject() override;

private:
    void Relayout();

    DialogWidgetOwner* m_owner;
    QWidget* m_client;
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_statusBar = nullptr;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    bool m_resizable = false;
    std::function<int()> m_defaultId;
};
