#pragma once
// Han characters are drawn differently in Simplified Chinese, Traditional Chinese,
// Japanese and Korean, and one CJK font family often holds all four variants. Without a
// hint the font system tends to pick the Japanese one; these helpers name the Simplified
// Chinese family so that Chinese texts on screen and on paper look as readers expect.
#include <QFont>
#include <QString>

namespace kestrel {

// The installed Simplified Chinese family ("Noto Sans CJK SC" where fonts-noto-cjk is
// installed); empty when there is none.
QString SimplifiedChineseFamily();

// `font` with the Simplified Chinese family as the fall-back for the characters its own
// family lacks (its Latin letters stay as they are).
QFont WithSimplifiedChinese(QFont font);

} // namespace kestrel
