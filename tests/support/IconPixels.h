// What an icon looks like, drawn at 16 by 16: equal pictures give equal vectors.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

inline std::vector<DWORD> IconPixels(HICON hIcon)
{
    std::vector<DWORD> pixels(16 * 16, 0);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    ::DrawIconEx(hDC, 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::memcpy(pixels.data(), pBits, pixels.size() * sizeof(DWORD));
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    return pixels;
}
