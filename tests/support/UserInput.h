// What tests do as a user or as the shell would: input through the system's queue, and Unix paths
// of the build seen from inside Wine.
#pragma once

#include "framework/String.h"

#include <initializer_list>

// Wine maps the Unix root to drive Z:.
CString WinePath(const char* pszUnixPath);

// Key presses, a text typed character by character, a click in the middle of a window.
void PressKeys(std::initializer_list<WORD> keys);
void TypeText(LPCWSTR pszText);
void ClickAt(int x, int y);
void ClickWindow(HWND hWnd);
