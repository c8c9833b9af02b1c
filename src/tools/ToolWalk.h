// The pace of a tool that walks the whole text in the user-interface thread (File
// Details' counts, Match Pairs' nesting walk, the spelling walk to the next problem).
// The walk reports its steps; only every so many of them is the clock read, and the
// message loop runs once after the first piece and then every 100 ms or so: the
// window repaints its panels, Close and the session's end (which writes the drafts)
// are handled, and Ctrl+Break pressed in any of the program's windows is taken by
// the walk. A walk stops on Ctrl+Break, when its window is closed, when the main
// window closes, and at the user's first key or click: that key or click (and all
// input after it) is held while the walk unwinds and delivered after it, to the
// window the user meant it for, so it acts where the user put the cursor.
//
// A walk over a large text shows "Working" and the wait cursor from its start, and
// "Stopped" on the status line when it was stopped.
#pragma once

#include "tools/TextToolHooks.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace narvo {

class TToolWalk : public QObject {
public:
    // How long the walk goes without taking events, in milliseconds.
    static constexpr std::int64_t PaceMs = 100;
    // How many units of work (bytes, items) pass between two looks at the clock.
    static constexpr std::int64_t UnitsPerLook = 1 << 16;
    // A walk over a text of this many bytes may pass a second: it shows "Working".
    static constexpr std::int64_t LongWalkBytes = TToolWorking::LongOperationBytes;

    // Progress is shown before every turn of the message loop. Window is the tool's
    // own: closing it stops the walk (when it was open at the start). Bytes is the
    // size of the text the walk may read.
    TToolWalk(QWidget* Window, std::function<void()> ShowProgress, std::int64_t Bytes = 0);
    ~TToolWalk() override;
    TToolWalk(const TToolWalk&) = delete;
    TToolWalk& operator=(const TToolWalk&) = delete;

    // After each piece of work of Units units; false once the walk should stop.
    bool Step(std::int64_t Units = 1)
    {
        FUnits += Units;
        return FUnits < UnitsPerLook ? !FStopped : Look();
    }
    // Stops the walk for a reason of the tool's own (its text changed, its pane went).
    void Stop() { FStopped = true; }
    bool Stopped() const { return FStopped; }
    // The stop came from Ctrl+Break.
    bool BreakPressed() const { return FBreak; }
    // The stop came from a key or click of the user's, which acts after the walk: the
    // walk must leave the cursor and the view where they are.
    bool InputArrived() const { return FInput; }

    // Keys and clicks in the tool's own window act at once and do not stop the walk,
    // for a window whose controls leave the walk alone (its Close still stops it).
    void KeepWindowLive() { FWindowLive = true; }

    // A steady clock in milliseconds (tests put a clock of their own).
    static std::function<std::int64_t()> Clock;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Look();
    bool WindowGone() const;
    // Whether Event (to Watched) stops the walk.
    bool StopsWalk(QObject* Watched, QEvent* Event) const;
    void Defer(QObject* Watched, const QEvent* Event);

    struct TDeferred {
        QPointer<QObject> Receiver;
        std::unique_ptr<QEvent> Event;
    };
    std::function<void()> FShowProgress;
    QPointer<QWidget> FWindow, FMain, FModal;
    std::vector<TDeferred> FDeferred;
    std::unique_ptr<TToolWorking> FWorking;
    // Whether Receiver (a window or a widget) is the tool's own window or in it.
    bool InOwnWindow(QObject* Receiver) const;

    bool FWindowShown = false, FMainShown = false, FWindowLive = false;
    bool FStopped = false, FBreak = false, FInput = false, FLooked = false;
    std::int64_t FUnits = 0;
    std::int64_t FLastLook = 0;
};

}  // namespace narvo
