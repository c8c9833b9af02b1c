// TClipboardListener: a non-visual component that announces every change of the
// clipboard's contents through OnClipboardChange. It listens from its creation to
// its destruction. Each listener is told on its own, so listeners created and
// destroyed in any order never keep one another from hearing a change; joining
// announces nothing.
#pragma once

#include "platform/ControlEvents.h"

#include <QMetaObject>
#include <QObject>

namespace narvo {

class TClipboardListener : public QObject {
public:
    explicit TClipboardListener(QObject* Owner = nullptr);
    ~TClipboardListener() override;

    // Fired once per change of the clipboard (not of the X11 selection), on the
    // user-interface thread; Sender is the listener.
    TNotifyEvent OnClipboardChange;

private:
    QMetaObject::Connection FConnection;
};

}  // namespace narvo
