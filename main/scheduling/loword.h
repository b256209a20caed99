#pragma once

#include <QtGlobal>

// The low 16 bits of a 32-bit value, read as a signed number (bit 15 set
// gives a negative result): LoWord(0x0001FFFF) is -1, LoWord(0x00010005) is 5.
qint16 LoWord(quint32 dWord);
