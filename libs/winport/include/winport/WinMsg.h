#pragma once

// The Windows message record that native event filters receive. On Windows it is the system's
// own; elsewhere an equivalent layout, so that filters written against it compile everywhere.
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using HWND = void *;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using DWORD = unsigned long;

struct POINT
{
    long x;
    long y;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// Accessibility object request.
constexpr UINT WM_GETOBJECT = 0x003D;
#endif
