#pragma once

// The device context handed to draw callbacks. On Linux it is the painter of the surface that
// shows the frame: callbacks draw with QPainter where Windows code would use GDI.
#ifdef _WIN32
#include <windows.h>
#else
class QPainter;
using HDC = QPainter *;
#endif
