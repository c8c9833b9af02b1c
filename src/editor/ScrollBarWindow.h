// The scroll-bar window: a control with the window's own horizontal and vertical
// scroll bars, each described by a TInternalScrollBar, with events for scrolling
// and for position changes, and a bevelled border painted around bars and client
// area. The text editor control is built on it.
//
// Positions are 64-bit here. The Qt bars underneath are int (32-bit), which is
// ample for line counts and line lengths; values beyond are shown saturated while
// the 64-bit position stays exact.
#pragma once

#include "platform/ControlEvents.h"

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <stdexcept>

class QScrollBar;

namespace narvo {

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TScrollCode : std::uint8_t {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll,
};

// Sender, scroll code and the new position, which the handler may change.
using TScrollEvent = std::function<void(QObject* Sender, TScrollCode Code, std::int64_t& ScrollPos)>;

// The toolkit's error for an operation a control refuses.
class EInvalidOperation : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

enum class TBevelKind : std::uint8_t { bkNone, bkTile, bkSoft, bkFlat };
enum class TBevelStyle : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
// Edges that carry the bevel.
enum TBevelEdge : std::uint8_t { beLeft = 1, beTop = 2, beRight = 4, beBottom = 8 };

class TCustomScrollBarWin;

// The settings of one of the window's scroll bars. Settings reach the bar only
// while the window shows it (Created); settings given to a hidden bar are dropped.
class TInternalScrollBar : public QObject {
public:
    TInternalScrollBar(TCustomScrollBarWin* Control, std::uint8_t Kind);

    bool Created = false;
    TCustomScrollBarWin* const Control;
    const std::uint8_t Kind;  // 0 horizontal, 1 vertical
    int SmallChange = 1;
    int LargeChange = 1;
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    std::int64_t Position() const { return FPosition; }
    std::int64_t Min() const { return FMin; }
    std::int64_t Max() const { return FMax; }
    std::int64_t PageSize() const { return FPageSize; }
    void SetPosition(std::int64_t Value) { SetParams(Value, FMin, FMax); }
    void SetMin(std::int64_t Value) { SetParams(FPosition, Value, FMax); }
    void SetMax(std::int64_t Value) { SetParams(FPosition, FMin, Value); }
    // Throws EInvalidOperation "Scrollbar property out of range" when Max lies below
    // Min or below PageSize; the bar is then unchanged.
    void SetParams(std::int64_t Pos, std::int64_t Min, std::int64_t Max);
    void SetPageSize(std::int64_t Value);

    // A scroll request by code (what a click on the bar's arrows, its track or a
    // drag of its thumb sends). TrackPos is the thumb's position for scPosition and
    // scTrack.
    void Scroll(TScrollCode Code, std::int64_t TrackPos = 0);

    // The Qt bar this object describes.
    QScrollBar* Bar() const;

private:
    friend class TCustomScrollBarWin;
    void SyncBar();

    std::int64_t FPosition = 0;
    std::int64_t FMin = 0;
    std::int64_t FMax = 100;
    std::int64_t FPageSize = 0;
};

class TCustomScrollBarWin : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TCustomScrollBarWin(QWidget* Parent = nullptr);
    ~TCustomScrollBarWin() override;

    TInternalScrollBar* const HorzScrollBar;
    TInternalScrollBar* const VertScrollBar;

    TScrollStyle ScrollBars() const { return FScrollBars; }
    // Recreates the window (shows and hides the bars) when the value changes.
    void SetScrollBars(TScrollStyle Value);
    // How often the window was (re)created; the first creation counts 1.
    int CreationCount() const { return FCreationCount; }

    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelStyle BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelStyle Value);
    TBevelStyle BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelStyle Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);  // below 1 is taken as 1
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);  // below 0 is taken as 0
    std::uint8_t BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(std::uint8_t Value);

    TScrollEvent OnVertScroll;
    TScrollEvent OnHorzScroll;
    TNotifyEvent OnHorzChange;
    TNotifyEvent OnVertChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    // What descendants override; the base fires the matching events.
    virtual void DoHorzScroll(TScrollCode Code, std::int64_t& ScrollPos);
    virtual void DoVertScroll(TScrollCode Code, std::int64_t& ScrollPos);
    virtual void DoHorzChange();
    virtual void DoVertChange();

    // Shows the bars that ScrollBars names and marks them Created.
    void CreateParams();
    // The pixels between the window's edge and its bars and client area.
    int EdgeWidth() const;

    bool event(QEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    void ConnectBar(TInternalScrollBar* Bar);
    void ApplyEdge();
    void PaintBorder();

    TScrollStyle FScrollBars = ssBoth;
    int FCreationCount = 0;
    TBevelKind FBevelKind = TBevelKind::bkNone;
    TBevelStyle FBevelInner = TBevelStyle::bvRaised;
    TBevelStyle FBevelOuter = TBevelStyle::bvLowered;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    std::uint8_t FBevelEdges = beLeft | beTop | beRight | beBottom;
};

// The published window.
class TScrollBarWindow : public TCustomScrollBarWin {
    Q_OBJECT
public:
    using TCustomScrollBarWin::TCustomScrollBarWin;
};

}  // namespace narvo
