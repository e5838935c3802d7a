#include "core/Log.h"

Q_LOGGING_CATEGORY(logCore, "kestrel.core", QtInfoMsg)
Q_LOGGING_CATEGORY(logLink, "kestrel.link", QtInfoMsg)
Q_LOGGING_CATEGORY(logUi, "kestrel.ui", QtInfoMsg)
