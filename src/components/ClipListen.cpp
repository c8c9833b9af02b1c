// The clipboard listener (see ClipListen.h).
#include "components/ClipListen.h"

#include <QClipboard>
#include <QGuiApplication>

namespace narvo {

TClipboardListener::TClipboardListener(QObject* Owner)
    : QObject(Owner)
{
    if (QClipboard* Clipboard = QGuiApplication::clipboard())
        FConnection = connect(Clipboard, &QClipboard::dataChanged, this, [this] {
            if (OnClipboardChange)
                OnClipboardChange(this);
        });
}

TClipboardListener::~TClipboardListener()
{
    // Leave before the event member goes, so a change announced during the
    // destruction cannot reach a half-destroyed listener.
    disconnect(FConnection);
}

}  // namespace narvo
