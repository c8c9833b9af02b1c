// Event types of the reusable controls. A control keeps each event as a plain
// callable member that the owning form assigns; an unassigned event is simply not
// fired, so a control never has to know who listens.
#pragma once

#include <Qt>
#include <functional>

class QObject;

namespace narvo {

// Sender only: clicks, changes, completed drags.
using TNotifyEvent = std::function<void(QObject* Sender)>;
// Mouse press and release: the button, the modifiers held and the point in the
// control's own coordinates.
using TMouseEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

} // namespace narvo
