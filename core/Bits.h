#pragma once
// Bit and list helpers the editors use for bit fields and list positions.
#include <QStringList>
#include <QtGlobal>

namespace kestrel {

// 0 or 1: the state of `bit` (0-7) of `value`.
inline int GetBit(quint8 value, int bit) { return (bit < 0 || bit > 7) ? 0 : (value >> bit) & 1; }

// `value` with `bit` set for state 1 or cleared for state 0; any other state gives 0.
inline quint8 SetBit(quint8 value, int bit, int state) {
    if (bit < 0 || bit > 7)
        return value;
    if (state == 1)
        return quint8(value | (1u << bit));
    if (state == 0)
        return quint8(value & ~(1u << bit));
    return 0;
}

// Replaces the bits selected by `mask` (in place, not shifted) with `field << shift`.
inline quint8 SetField(quint8 value, quint8 mask, int shift, int field) {
    return quint8((value & ~mask) | ((field << shift) & mask));
}
inline int GetField(quint8 value, quint8 mask, int shift) { return (value & mask) >> shift; }

// First position of `value` in `list`, or -1.
inline int IndexOfValue(const QString& value, const QStringList& list) { return int(list.indexOf(value)); }

} // namespace kestrel
