#pragma once
// The numbered texts of the program: English under the base number, Chinese under
// base + 1000. The language flag (0 English, 1 Chinese) picks one.
#include <QList>
#include <QString>
#include <QtGlobal>

namespace kestrel {

using Language = quint8; // 0 = English, 1 = Chinese
constexpr Language English = 0;
constexpr Language Chinese = 1;

// Text number 1000 x language + base. Empty text for an unknown number.
QString LoadText(int base, Language language);

// Whether the table holds text number `number` (base or base + 1000).
bool HasText(int number);

// The base numbers the table holds, ascending.
QList<int> TextBaseNumbers();

// A text held as a pair by a view: Chinese when the flag is 1, English otherwise.
struct TextPair {
    const char* en;
    const char* zh;
    QString operator()(Language language) const {
        return QString::fromUtf8(language == Chinese ? zh : en);
    }
};
inline QString Pick(Language language, const char* en, const char* zh) { return TextPair{en, zh}(language); }

// A text built at run time in both languages (a message with numbers in it, a step name).
struct BilingualText {
    QString english;
    QString chinese;
    QString operator()(Language language) const { return language == Chinese ? chinese : english; }
    bool isEmpty() const { return english.isEmpty() && chinese.isEmpty(); }
};

} // namespace kestrel
