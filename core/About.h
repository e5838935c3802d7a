#pragma once
// The texts of the about box.
#include "core/AppContext.h"

namespace kestrel {

// "About Kestrel" / "关于 Kestrel".
QString AboutCaption(const AppContext& app);

// The label text, lines joined by CR LF, the product name's "&" doubled so it shows literally.
QString AboutText(const AppContext& app, int year);

// The licence notice shown below that text.
QString LicenceNotice(Language language);

// Sets the language flag; false (and nothing changed) when it already was that language.
bool SwitchLanguage(AppContext& app, Language language);

} // namespace kestrel
