// windows.h as the Windows backends include it: without the min and max macros, which would
// break std::min, std::max and std::numeric_limits<>::max, and without the rarely used parts
// that WIN32_LEAN_AND_MEAN leaves out (the multimedia timer among them: include <mmsystem.h>
// after this header where it is needed).
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#endif
