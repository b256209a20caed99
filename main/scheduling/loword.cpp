#include "loword.h"

qint16 LoWord(quint32 dWord)
{
    const quint16 low = quint16(dWord & 0xFFFFu);
    return low & 0x8000u ? qint16(int(low) - 0x10000) : qint16(low);
}
