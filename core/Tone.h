#pragma once
// The tone option table (no tone, 50 QT tones, 105 DQT codes normal and inverted)
// and the two-byte tone code of a channel record.
#include "core/StringTable.h"

#include <QStringList>

namespace kestrel {

constexpr int ToneCount = 261;
constexpr int FirstQtTone = 1;
constexpr int FirstDqtNormal = 51;
constexpr int FirstDqtInverted = 156;

// Position 0 is the no-tone text of the language (text 1104), then the tones.
QStringList BuildToneTable(Language language);

// Rewrites position 0 for the language (the main window does this at every refresh).
void SetNoToneText(QStringList& table, Language language);

} // namespace kestrel
