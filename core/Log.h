#pragma once
// Logging categories: turn tracing on with QT_LOGGING_RULES="kestrel.link.debug=true".
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(logCore)
Q_DECLARE_LOGGING_CATEGORY(logLink)
Q_DECLARE_LOGGING_CATEGORY(logUi)
