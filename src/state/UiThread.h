#pragma once

#include <QCoreApplication>
#include <QMetaObject>

namespace plenvo {

// Runs `work` on the thread of the application object (the user-interface thread), from any
// thread; nowhere once the application is gone (a job left behind at exit may end after it).
// What `work` reaches must be guarded by itself (a QPointer, a weak pointer).
template <typename Work> void postToUiThread(Work work)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

} // namespace plenvo
