#include "settings/KeyRules.h"

#include "core/Numbers.h"

namespace kestrel {

namespace {

using namespace KeyMap;

int SideKeyCode(quint8 byte) { return byte < KeyFunctionCount ? byte : 0; }
int ShortPressCode(quint8 byte) {
    const int code = SideKeyCode(byte);
    return OfferedForShortPress(code) ? code : 0;
}

} // namespace

QStringList KeyFunctionTexts(Language language) {
    QStringList texts{LoadText(1104, language)};
    for (int base = 1681; base <= 1691; ++base) // codes 1-11
        texts << LoadText(base, language);
    for (int base = 1693; base <= 1697; ++base) // codes 12-16
        texts << LoadText(base, language);
    texts << Pick(language, "Channel beep sound", "信道铃音") << Pick(language, "Channel Lock", "信道锁定")
          << Pick(language, "Vox", "声控");
    return texts;
}

QStringList AlarmFunctionTexts(Language language) {
    return {LoadText(1104, language), LoadText(1658, language), Pick(language, "Remote Alarm", "远程报警"),
            Pick(language, "Local+Remote Alarm", "本地+远程报警"), Pick(language, "Special Alarm", "特殊报警")};
}

QStringList DurationTexts() {
    QStringList texts;
    for (int i = 1; i <= DurationCount; ++i)
        texts << FormatFixed(i * 0.5, 1);
    return texts;
}

bool OfferedForShortPress(int code) { return code != MonitorMomentary && code != SquelchOffMomentary; }

QList<int> ShortPressCodes() {
    QList<int> codes;
    for (int code = 0; code < KeyFunctionCount; ++code)
        if (OfferedForShortPress(code))
            codes << code;
    return codes;
}

QList<int> LongPressCodes() {
    QList<int> codes;
    for (int code = 0; code < KeyFunctionCount; ++code)
        codes << code;
    return codes;
}

int DurationPosition(quint8 tenths) {
    const qint64 position = RoundHalfEven(tenths / 5.0 - 1.0);
    return (position < 0 || position >= DurationCount) ? 0 : int(position);
}

quint8 DurationByte(int position) { return quint8(RoundHalfEven((position + 1) * 0.5 * 10.0)); }

bool KeyValues::operator==(const KeyValues& o) const {
    return side1Press == o.side1Press && side1Hold == o.side1Hold && side2Press == o.side2Press &&
           side2Hold == o.side2Hold && topKey == o.topKey && duration == o.duration;
}

KeyValues LoadKeys(const MemoryImage& image) {
    KeyValues v;
    v.side1Press = ShortPressCode(image.byte(Side1Press));
    v.side1Hold = SideKeyCode(image.byte(Side1Hold));
    v.side2Press = ShortPressCode(image.byte(Side2Press));
    v.side2Hold = SideKeyCode(image.byte(Side2Hold));
    const quint8 top = image.byte(TopKey);
    v.topKey = top < AlarmFunctionCount ? top : 0;
    v.duration = DurationPosition(image.byte(LongPress));
    return v;
}

void StoreKeys(MemoryImage& image, const KeyValues& v) {
    image.setByte(Side1Press, quint8(v.side1Press));
    image.setByte(Side1Hold, quint8(v.side1Hold));
    image.setByte(Side2Press, quint8(v.side2Press));
    image.setByte(Side2Hold, quint8(v.side2Hold));
    image.setByte(TopKey, quint8(v.topKey));
    image.setByte(LongPress, DurationByte(v.duration));
}

} // namespace kestrel
