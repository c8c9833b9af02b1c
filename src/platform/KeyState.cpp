// Live key state (see KeyState.h). Only the user interface thread reads keys, so
// plain variables suffice.
#include "platform/KeyState.h"

#include <QGuiApplication>
#include <chrono>

namespace narvo {

namespace {
std::optional<Qt::KeyboardModifiers> GInjected;
std::optional<Qt::KeyboardModifiers> GEventModifiers;
std::function<Qt::KeyboardModifiers()> GQuery;
// The keyboard's last answer and when it came.
std::optional<Qt::KeyboardModifiers> GAnswer;
std::chrono::steady_clock::time_point GAnswered;
}  // namespace

Qt::KeyboardModifiers LiveModifiers()
{
    if (GInjected)
        return *GInjected;
    if (GEventModifiers)
        return *GEventModifiers;
    const auto Now = std::chrono::steady_clock::now();
    if (!GAnswer || Now - GAnswered >= std::chrono::milliseconds(KeyboardAnswerMs)) {
        GAnswer = GQuery ? GQuery() : QGuiApplication::queryKeyboardModifiers();
        GAnswered = Now;
    }
    return *GAnswer;
}

bool ShiftDown() { return LiveModifiers().testFlag(Qt::ShiftModifier); }
bool CtrlDown() { return LiveModifiers().testFlag(Qt::ControlModifier); }
bool AltDown() { return LiveModifiers().testFlag(Qt::AltModifier); }

// An input event handled (a Shift pressed while a run yields) or a run begun makes
// the keyboard be asked anew.
TKeyStateScope::TKeyStateScope(Qt::KeyboardModifiers Modifiers) : Previous_(GEventModifiers)
{
    GEventModifiers = Modifiers;
    GAnswer.reset();
}

TKeyStateScope::~TKeyStateScope() { GEventModifiers = Previous_; }

TKeyboardStateScope::TKeyboardStateScope() : Previous_(GEventModifiers)
{
    GEventModifiers.reset();
    GAnswer.reset();
}

TKeyboardStateScope::~TKeyboardStateScope() { GEventModifiers = Previous_; }

void InjectKeyState(std::optional<Qt::KeyboardModifiers> Modifiers) { GInjected = Modifiers; }

void SetKeyboardQuery(std::function<Qt::KeyboardModifiers()> Query)
{
    GQuery = std::move(Query);
    GAnswer.reset();
}

}  // namespace narvo
