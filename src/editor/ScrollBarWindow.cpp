// The scroll-bar window: bar settings, the translation of Qt's slider actions into
// scroll codes, and the bevelled border around the bars and the client area.
#include "editor/ScrollBarWindow.h"

#include <QEnterEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QtWidgets/qdrawutil.h>
#include <algorithm>
#include <climits>

namespace narvo {

namespace {

int ToInt(std::int64_t V)
{
    return static_cast<int>(std::clamp<std::int64_t>(V, INT_MIN, INT_MAX));
}

}  // namespace

TInternalScrollBar::TInternalScrollBar(TCustomScrollBarWin* Control, std::uint8_t Kind)
    : Control(Control), Kind(Kind)
{
}

QScrollBar* TInternalScrollBar::Bar() const
{
    return Kind == 0 ? Control->horizontalScrollBar() : Control->verticalScrollBar();
}

void TInternalScrollBar::SyncBar()
{
    QScrollBar* B = Bar();
    if (!B)
        return;
    // Programmatic settings must not come back as scroll requests.
    const QSignalBlocker Blocker(B);
    // The thumb cannot go past Max - PageSize + 1, as with the system's bars.
    const std::int64_t Top = FPageSize > 1 ? std::max(FMin, FMax - FPageSize + 1) : FMax;
    B->setRange(ToInt(FMin), ToInt(Top));
    B->setSingleStep(std::max(1, SmallChange));
    B->setPageStep(std::max(1, ToInt(FPageSize > 0 ? FPageSize : LargeChange)));
    B->setValue(ToInt(FPosition));
}

void TInternalScrollBar::SetParams(std::int64_t Pos, std::int64_t Min, std::int64_t Max)
{
    if (!Created)
        return;
    if (Max < Min || Max < FPageSize)
        throw EInvalidOperation("Scrollbar property out of range");
    Pos = std::clamp(Pos, Min, Max);
    bool Changed = false;
    if (Min != FMin || Max != FMax) {
        FMin = Min;
        FMax = Max;
        Changed = true;
    }
    if (Pos != FPosition) {
        FPosition = Pos;
        Changed = true;
    }
    if (Changed)
        SyncBar();
}

void TInternalScrollBar::SetPageSize(std::int64_t Value)
{
    if (!Created || Value == FPageSize || Value > FMax)
        return;
    FPageSize = std::max<std::int64_t>(Value, 0);
    SyncBar();
}

void TInternalScrollBar::Scroll(TScrollCode Code, std::int64_t TrackPos)
{
    std::int64_t New = FPosition;
    switch (Code) {
    case scLineUp: New -= SmallChange; break;
    case scLineDown: New += SmallChange; break;
    case scPageUp: New -= LargeChange; break;
    case scPageDown: New += LargeChange; break;
    case scPosition:
    case scTrack: New = TrackPos; break;
    case scTop: New = FMin; break;
    case scBottom: New = FMax; break;
    case scEndScroll: break;
    }
    New = std::clamp(New, FMin, FMax);
    if (OnScroll)
        OnScroll(this, Code, New);
    SetPosition(New);
    if (OnChange)
        OnChange(this);
}

TCustomScrollBarWin::TCustomScrollBarWin(QWidget* Parent)
    : QAbstractScrollArea(Parent),
      HorzScrollBar(new TInternalScrollBar(this, 0)),
      VertScrollBar(new TInternalScrollBar(this, 1))
{
    setFrameStyle(QFrame::NoFrame);
    HorzScrollBar->setParent(this);
    VertScrollBar->setParent(this);
    HorzScrollBar->OnScroll = [this](QObject*, TScrollCode Code, std::int64_t& Pos) { DoHorzScroll(Code, Pos); };
    VertScrollBar->OnScroll = [this](QObject*, TScrollCode Code, std::int64_t& Pos) { DoVertScroll(Code, Pos); };
    HorzScrollBar->OnChange = [this](QObject*) { DoHorzChange(); };
    VertScrollBar->OnChange = [this](QObject*) { DoVertChange(); };
    ConnectBar(HorzScrollBar);
    ConnectBar(VertScrollBar);
    CreateParams();
    HorzScrollBar->SyncBar();
    VertScrollBar->SyncBar();
}

TCustomScrollBarWin::~TCustomScrollBarWin() = default;

void TCustomScrollBarWin::ConnectBar(TInternalScrollBar* Bar)
{
    QScrollBar* B = Bar->Bar();
    B->setTracking(true);
    // Qt has already moved the slider by its own step when it reports an action; the
    // bar's own settings decide instead, and the slider is put where they say.
    connect(B, &QAbstractSlider::actionTriggered, this, [Bar, B](int Action) {
        TScrollCode Code;
        switch (Action) {
        case QAbstractSlider::SliderSingleStepAdd: Code = scLineDown; break;
        case QAbstractSlider::SliderSingleStepSub: Code = scLineUp; break;
        case QAbstractSlider::SliderPageStepAdd: Code = scPageDown; break;
        case QAbstractSlider::SliderPageStepSub: Code = scPageUp; break;
        case QAbstractSlider::SliderToMinimum: Code = scTop; break;
        case QAbstractSlider::SliderToMaximum: Code = scBottom; break;
        case QAbstractSlider::SliderMove: Code = scTrack; break;
        default: return;
        }
        Bar->Scroll(Code, B->sliderPosition());
        B->setSliderPosition(ToInt(Bar->Position()));
    });
    connect(B, &QAbstractSlider::sliderReleased, this, [Bar, B] {
        Bar->Scroll(scPosition, B->sliderPosition());
        Bar->Scroll(scEndScroll);
    });
}

void TCustomScrollBarWin::CreateParams()
{
    HorzScrollBar->Created = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    VertScrollBar->Created = FScrollBars == ssVertical || FScrollBars == ssBoth;
    setHorizontalScrollBarPolicy(HorzScrollBar->Created ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(VertScrollBar->Created ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    ++FCreationCount;
}

void TCustomScrollBarWin::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    CreateParams();
}

void TCustomScrollBarWin::DoHorzScroll(TScrollCode Code, std::int64_t& ScrollPos)
{
    if (OnHorzScroll)
        OnHorzScroll(HorzScrollBar, Code, ScrollPos);
}

void TCustomScrollBarWin::DoVertScroll(TScrollCode Code, std::int64_t& ScrollPos)
{
    if (OnVertScroll)
        OnVertScroll(VertScrollBar, Code, ScrollPos);
}

void TCustomScrollBarWin::DoHorzChange()
{
    if (OnHorzChange)
        OnHorzChange(HorzScrollBar);
}

void TCustomScrollBarWin::DoVertChange()
{
    if (OnVertChange)
        OnVertChange(VertScrollBar);
}

void TCustomScrollBarWin::enterEvent(QEnterEvent* Event)
{
    QAbstractScrollArea::enterEvent(Event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomScrollBarWin::leaveEvent(QEvent* Event)
{
    QAbstractScrollArea::leaveEvent(Event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomScrollBarWin::scrollContentsBy(int, int)
{
    // The descendants scroll through the bar events and repaint themselves.
}

// --- border and bevel ----------------------------------------------------------------

int TCustomScrollBarWin::EdgeWidth() const
{
    int Edge = 0;
    if (FBevelKind != TBevelKind::bkNone) {
        if (FBevelInner != TBevelStyle::bvNone)
            Edge += FBevelWidth;
        if (FBevelOuter != TBevelStyle::bvNone)
            Edge += FBevelWidth;
    }
    return Edge;
}

void TCustomScrollBarWin::ApplyEdge()
{
    const int Edge = EdgeWidth();
    auto Side = [&](TBevelEdge E) { return FBorderWidth + ((FBevelEdges & E) ? Edge : 0); };
    setContentsMargins(Side(beLeft), Side(beTop), Side(beRight), Side(beBottom));
    update();
}

void TCustomScrollBarWin::SetBevelKind(TBevelKind Value)
{
    if (Value != FBevelKind) {
        FBevelKind = Value;
        ApplyEdge();
    }
}

void TCustomScrollBarWin::SetBevelInner(TBevelStyle Value)
{
    if (Value != FBevelInner) {
        FBevelInner = Value;
        ApplyEdge();
    }
}

void TCustomScrollBarWin::SetBevelOuter(TBevelStyle Value)
{
    if (Value != FBevelOuter) {
        FBevelOuter = Value;
        ApplyEdge();
    }
}

void TCustomScrollBarWin::SetBevelWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value != FBevelWidth) {
        FBevelWidth = Value;
        ApplyEdge();
    }
}

void TCustomScrollBarWin::SetBorderWidth(int Value)
{
    Value = std::max(Value, 0);
    if (Value != FBorderWidth) {
        FBorderWidth = Value;
        ApplyEdge();
    }
}

void TCustomScrollBarWin::SetBevelEdges(std::uint8_t Value)
{
    if (Value != FBevelEdges) {
        FBevelEdges = Value;
        ApplyEdge();
    }
}

bool TCustomScrollBarWin::event(QEvent* Event)
{
    const bool Result = QAbstractScrollArea::event(Event);
    if (Event->type() == QEvent::Paint)
        PaintBorder();
    return Result;
}

void TCustomScrollBarWin::PaintBorder()
{
    if (FBevelKind == TBevelKind::bkNone && FBorderWidth <= 0)
        return;
    QPainter P(this);
    const QRect Outer = rect();
    const QMargins M = contentsMargins();
    const QRect Inner = Outer.marginsRemoved(M);
    // The border area in the control's colour; the bars and the client area paint
    // themselves inside it.
    const QColor Brush = palette().color(QPalette::Window);
    P.fillRect(QRect(Outer.left(), Outer.top(), Outer.width(), M.top()), Brush);
    P.fillRect(QRect(Outer.left(), Inner.bottom() + 1, Outer.width(), M.bottom()), Brush);
    P.fillRect(QRect(Outer.left(), Inner.top(), M.left(), Inner.height()), Brush);
    P.fillRect(QRect(Inner.right() + 1, Inner.top(), M.right(), Inner.height()), Brush);
    if (FBevelKind == TBevelKind::bkNone)
        return;
    QRect R = Inner;
    const int Edge = EdgeWidth();
    auto Grow = [&](int By) {
        R.adjust((FBevelEdges & beLeft) ? -By : 0, (FBevelEdges & beTop) ? -By : 0, (FBevelEdges & beRight) ? By : 0,
                 (FBevelEdges & beBottom) ? By : 0);
    };
    Grow(Edge);
    auto Draw = [&](TBevelStyle Style) {
        if (Style == TBevelStyle::bvNone)
            return;
        if (FBevelKind == TBevelKind::bkFlat || Style == TBevelStyle::bvSpace)
            qDrawPlainRect(&P, R, palette().color(QPalette::Dark), FBevelWidth);
        else
            qDrawShadeRect(&P, R, palette(), Style == TBevelStyle::bvLowered, FBevelWidth / 2 + FBevelWidth % 2, 0);
        Grow(-FBevelWidth);
    };
    Draw(FBevelOuter);
    Draw(FBevelInner);
}

}  // namespace narvo
