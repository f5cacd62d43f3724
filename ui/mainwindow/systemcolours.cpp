#include "systemcolours.h"

#ifdef _WIN32
#include <windows.h>
#endif

QColor activeBorderColour()
{
#ifdef _WIN32
    const DWORD colour = GetSysColor(COLOR_ACTIVEBORDER);
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
#else
    return QColor(212, 208, 200);
#endif
}
