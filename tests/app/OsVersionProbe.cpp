// Reports what COsVersion makes of the Windows version Wine shows this program: bit 0 for
// IsWin9xBeforeMe, bit 1 for IsNtBefore2000.
#include "config/OsVersion.h"

int main()
{
    COsVersion first;
    const COsVersion second; // reads the record the first one filled
    return (first.IsWin9xBeforeMe() ? 1 : 0) | (second.IsNtBefore2000() ? 2 : 0);
}
