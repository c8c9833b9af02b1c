// The pace of a tool window that walks the whole text in the user-interface thread
// (File Details' counts, Match Pairs' nesting walk). The walk reports its steps; only
// every so many of them is the clock read, and the message loop runs once after the
// first piece and then every 100 ms or so: the window repaints its panels, Close and
// the session's end (which writes the drafts) are handled, and Ctrl+Break pressed in
// any of the program's windows is taken by the walk. A walk stops on Ctrl+Break,
// when its window is closed and when the main window closes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace narvo {

class TToolWalk : public QObject {
public:
    // How long the walk goes without taking events, in milliseconds.
    static constexpr std::int64_t PaceMs = 100;
    // How many units of work (bytes, items) pass between two looks at the clock.
    static constexpr std::int64_t UnitsPerLook = 1 << 16;

    // Progress is shown before every turn of the message loop. Window is the tool's
    // own: closing it stops the walk (when it was open at the start).
    TToolWalk(QWidget* Window, std::function<void()> ShowProgress);
    ~TToolWalk() override;
    TToolWalk(const TToolWalk&) = delete;
    TToolWalk& operator=(const TToolWalk&) = delete;

    // After each piece of work of Units units; false once the walk should stop.
    bool Step(std::int64_t Units = 1)
    {
        FUnits += Units;
        return FUnits < UnitsPerLook ? !FStopped : Look();
    }
    bool Stopped() const { return FStopped; }
    // The stop came from Ctrl+Break.
    bool BreakPressed() const { return FBreak; }

    // A steady clock in milliseconds (tests put a clock of their own).
    static std::function<std::int64_t()> Clock;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Look();
    bool WindowGone() const;

    std::function<void()> FShowProgress;
    QPointer<QWidget> FWindow, FMain;
    bool FWindowShown = false, FMainShown = false;
    bool FStopped = false, FBreak = false, FLooked = false;
    std::int64_t FUnits = 0;
    std::int64_t FLastLook = 0;
};

}  // namespace narvo
