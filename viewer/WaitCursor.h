// The hourglass for the length of a load or an images change, shown by the viewer control.
#pragma once

#include <QApplication>

namespace lantern {

// Restored however the work ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace lantern
