#include "link/CloneRun.h"

#include <QEventLoop>

namespace kestrel {

CloneEngine::Outcome RunCloneToEnd(CloneEngine& engine) {
    QEventLoop loop;
    const QMetaObject::Connection c = QObject::connect(&engine, &CloneEngine::closed, &loop, &QEventLoop::quit);
    if (engine.Start() && !engine.flagComplete())
        loop.exec();
    QObject::disconnect(c);
    return engine.outcome();
}

} // namespace kestrel
