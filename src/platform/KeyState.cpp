// Live key state (see KeyState.h). Only the user interface thread reads keys, so
// plain variables suffice.
#include "platform/KeyState.h"

#include <QGuiApplication>

namespace narvo {

namespace {
std::optional<Qt::KeyboardModifiers> GInjected;
std::optional<Qt::KeyboardModifiers> GEventModifiers;
}  // namespace

Qt::KeyboardModifiers LiveModifiers()
{
    if (GInjected)
        return *GInjected;
    if (GEventModifiers)
        return *GEventModifiers;
    return QGuiApplication::queryKeyboardModifiers();
}

bool ShiftDown() { return LiveModifiers().testFlag(Qt::ShiftModifier); }
bool CtrlDown() { return LiveModifiers().testFlag(Qt::ControlModifier); }
bool AltDown() { return LiveModifiers().testFlag(Qt::AltModifier); }

TKeyStateScope::TKeyStateScope(Qt::KeyboardModifiers Modifiers) : Previous_(GEventModifiers)
{
    GEventModifiers = Modifiers;
}

TKeyStateScope::~TKeyStateScope() { GEventModifiers = Previous_; }

TKeyboardStateScope::TKeyboardStateScope() : Previous_(GEventModifiers) { GEventModifiers.reset(); }

TKeyboardStateScope::~TKeyboardStateScope() { GEventModifiers = Previous_; }

void InjectKeyState(std::optional<Qt::KeyboardModifiers> Modifiers) { GInjected = Modifiers; }

}  // namespace narvo
