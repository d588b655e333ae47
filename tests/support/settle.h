#pragma once

#include <QCoreApplication>
#include <QEvent>

namespace grelm::test {

/// Deletes the widgets whose deletion was posted and handles pending events,
/// so that a check after a window closes sees it gone.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace grelm::test
