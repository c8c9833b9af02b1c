// Live key state: Shift, Ctrl and Alt at the moment the program acts on them, also
// in the middle of a command-line run. While an input event is handled its own
// modifiers answer (the application sets them around each input event); otherwise
// the keyboard is asked, and its answer is kept for KeyboardAnswerMs: on X11 the
// question is a round trip to the display server, and a run of control-key
// commands asks at every command. Tests inject a state.
#pragma once

#include <Qt>
#include <functional>
#include <optional>

namespace narvo {

Qt::KeyboardModifiers LiveModifiers();
bool ShiftDown();
bool CtrlDown();
bool AltDown();

// Makes Modifiers the live state for the scope: the modifiers of the event being
// handled. Scopes nest; each restores what was before it.
class TKeyStateScope {
public:
    explicit TKeyStateScope(Qt::KeyboardModifiers Modifiers);
    ~TKeyStateScope();
    TKeyStateScope(const TKeyStateScope&) = delete;
    TKeyStateScope& operator=(const TKeyStateScope&) = delete;

private:
    std::optional<Qt::KeyboardModifiers> Previous_;
};

// For the scope the keyboard answers, not an input event being handled: a
// command-line run started by a key (Ctrl+G, Esc Esc) or a click reads Shift as it
// is while each command runs, not as it was when the run began. Events handled
// inside the scope (keys typed at a key wait) still answer with their own.
class TKeyboardStateScope {
public:
    TKeyboardStateScope();
    ~TKeyboardStateScope();
    TKeyboardStateScope(const TKeyboardStateScope&) = delete;
    TKeyboardStateScope& operator=(const TKeyboardStateScope&) = delete;

private:
    std::optional<Qt::KeyboardModifiers> Previous_;
};

// A state that overrides everything else (std::nullopt removes it); for tests.
void InjectKeyState(std::optional<Qt::KeyboardModifiers> Modifiers);

// How long the keyboard's answer is kept: far below what a hand can press and
// release, far above the time a command takes.
inline constexpr int KeyboardAnswerMs = 10;
// The question put to the keyboard (empty: Qt's queryKeyboardModifiers); for tests.
// Setting it forgets the kept answer.
void SetKeyboardQuery(std::function<Qt::KeyboardModifiers()> Query);

}  // namespace narvo
