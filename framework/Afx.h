// The framework in one include.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/Array.h"
#include "framework/CommandLineInfo.h"
#include "framework/ComPtr.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/List.h"
#include "framework/Menu.h"
#include "framework/FrameWnd.h"
#include "framework/ImageList.h"
#include "framework/Object.h"
#include "framework/Ole.h"
#include "framework/RegKey.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
