// Acting on a dialog as a user would, by control ID, and reading it back.
// Use inside ScriptedPrompts::ArmModal callbacks (or on any open window).
//
// Typing sends one key event per character, so each character raises
// EN_CHANGE as it would on Windows; clicks are mouse clicks at the control's
// centre (a disabled control ignores them). Acting on a control that is not
// visible fails the test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui/resources/DialogTemplate.h"
#include "ui/resources/WinDef.h"

class CWnd;
class QWidget;

// The control's widget; the ID must exist (GetDlgItem is fatal otherwise).
QWidget* ControlWidget(CWnd& window, int id);

// Focuses the edit and types the text at the end of what it holds.
void TypeText(CWnd& window, int id, const std::string& text);
// Focuses the edit, selects all and types the text (or deletes all for "").
void ReplaceText(CWnd& window, int id, const std::string& text);
void Click(CWnd& window, int id);
// The user's choice of an entry in the drop-down list (CBN_SELCHANGE).
void SelectComboItem(CWnd& window, int id, int index);
void SelectListItem(CWnd& window, int id, int index);
void DoubleClickListItem(CWnd& window, int id, int index);
void SelectTab(CWnd& window, int id, int index);
// List views: a click on a row (on its last cell), on the check box of an
// item, and editing a cell as a user does: a click on it, F2, the old text
// selected and replaced by typing, Enter. False when no editor opened (the
// owner refused, or the control does not edit its cells); nothing is typed then.
void SelectListViewItem(CWnd& window, int id, int item);
void ClickListViewCheck(CWnd& window, int id, int item);
bool EditListViewCell(CWnd& window, int id, int item, int subItem, const std::string& text);
// Keys to the window's focused control (or the window itself).
void PressEnter(CWnd& window);
void PressEscape(CWnd& window);
// The user dragging the window's frame to this size (its minimum holds).
void ResizeWindow(CWnd& window, int width, int height);
// A key with modifiers as a user presses it on the window ("Ctrl+S"), so that
// shortcuts fire.
void PressShortcut(CWnd& window, const std::string& keys);
// Tab (Shift+Tab when `backwards`) on the focused control, as the user
// moves the focus.
void PressTab(CWnd& window, bool backwards = false);
// The clipboard's text, and text put there as another program would.
std::string ClipboardText();
void SetClipboardText(const std::string& text);
// The close box of the window's caption.
void ClickCloseBox(CWnd& window);
// The menu item with this command ID in the window's menu bar; fails the
// test when there is none or it is disabled.
void ClickMenuItem(CWnd& window, UINT commandId);
// The text of that item, and whether it is enabled; "" and false for none.
std::string MenuItemText(CWnd& window, UINT commandId);
bool MenuItemEnabled(CWnd& window, UINT commandId);

std::string ControlText(CWnd& window, int id);
// BST_CHECKED or BST_UNCHECKED.
int ControlCheck(CWnd& window, int id);
bool ControlEnabled(CWnd& window, int id);
// Shown, with all its parents.
bool ControlVisible(CWnd& window, int id);
// The control with the focus, or 0 when none of the window's has it.
int FocusedControlId(CWnd& window);

// Whether the process-wide resources have dialog `dialogId` with control
// `controlId` of this kind.
::testing::AssertionResult TemplateHasControl(int dialogId, int controlId, ControlKind kind);
