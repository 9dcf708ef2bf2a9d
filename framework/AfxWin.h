// The dialog framework in one include, for dialog code.
#pragma once

#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "framework/FileDialog.h"
#include "framework/ListBox.h"
#include "framework/Menu.h"
#include "framework/MessageBox.h"
#include "framework/PaintDC.h"
#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "framework/Static.h"
#include "framework/TabCtrl.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
