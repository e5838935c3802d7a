#pragma once
// Help > User Guide (F1): opens the guide's page in the current language in the system's
// browser, or tells the user where the guide would be.
#include "core/AppContext.h"
#include "core/Prompter.h"

#include <QUrl>
#include <functional>

namespace kestrel {

// `open` shows a URL (QDesktopServices::openUrl in the program); false when it could not.
// Returns the page opened, empty when none was.
QString OpenUserGuide(const AppContext& app, Prompter& prompter,
                      const std::function<bool(const QUrl&)>& open);

} // namespace kestrel
