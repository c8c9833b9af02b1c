// TScrollEditor: the text editor control of every pane and command editor. It is
// the scroll-bar window with the text model of one pane on top: it paints the
// visible slice of the lines with gutter, line numbers, tab expansion, the show-all
// view and the highlight; runs its own blinking caret; maps pixels to positions;
// scrolls by bar, wheel, line and page; zooms in exact tenths; and sets the cursor
// and highlight by mouse, with drag-select, drag and drop (undone in one step),
// shared buffers between panes and the scoop events of every cursor move.
//
// The members are implemented by concern: ScrollEditor.cpp (construction,
// properties, sharing), EditorLayout.cpp (cells, display columns, pixel mapping),
// EditorPaint.cpp (painting, line numbers), EditorScroll.cpp (scrolling, view
// origin, wheel, zoom, the view during a search), EditorCaret.cpp (caret, focus,
// input method),
// EditorMarks.cpp (highlight, words, paragraphs, scoop), EditorMouse.cpp (mouse
// presses and drag-select), EditorDragDrop.cpp (dragging text between panes),
// EditorKeys.cpp (key events, key-down and character stages), KeyMaps.cpp (the
// keyboard modes of a stand-alone editor and their composite keys),
// EditorClipboard.cpp (the desktop clipboard).
#pragma once

#include "editor/ScrollBarWindow.h"
#include "engine/EditorEngine.h"
#include "platform/ControlEvents.h"
#include "platform/KeyTranslate.h"
#include "shared/CodePage.h"
#include "shared/Colour.h"

#include <QFont>
#include <QTimer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QMimeData;
class QPainter;

namespace narvo {

// The new zoom factor; no sender.
using TScaleEvent = std::function<void(double Scale)>;
// One notch of the wheel; Handled is reported back to the caller.
using TMouseWheelUpDownEvent =
    std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, QPoint MousePos, bool& Handled)>;

class TScrollEditor;
// The live editors of the program, oldest first (user-interface thread only).
std::vector<TScrollEditor*>& ScrollEditorRegistry();

class TScrollEditor : public TScrollBarWindow, public TEditorEngine {
    Q_OBJECT
public:
    explicit TScrollEditor(QWidget* Parent = nullptr);
    ~TScrollEditor() override;

    // --- published properties ----------------------------------------------------
    bool LineNumbers() const { return FLineNumbers; }
    void SetLineNumbers(bool Value);
    bool StandAlone() const { return FStandAlone; }
    void SetStandAlone(bool Value) { FStandAlone = Value; }
    // The given lines are copied in (at least one line is kept).
    void SetStrings(const std::vector<std::string>& Lines);
    bool ShowAll() const override { return FShowAll; }
    void SetShowAll(bool Value);
    int GutterSize() const { return FGutterSize; }
    void SetGutterSize(int Value);  // below 0 is taken as 0
    void SetEditorStyle(TEditorStyle Value) { EditorStyle = Value; }
    int CursorWidth() const { return FCursorWidth; }
    void SetCursorWidth(int Value);  // below 1 is taken as 1
    bool LinearHScroll() const { return FLinearHScroll; }
    void SetLinearHScroll(bool Value) { FLinearHScroll = Value; }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor NonDeleteColor() const { return FNonDeleteColor; }
    void SetNonDeleteColor(TColor Value);
    TColor ControlColor() const { return FControlColor; }
    void SetControlColor(TColor Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    bool ShadowLine() const { return FShadowLine; }
    void SetShadowLine(bool Value);
    bool UseTabStops() const { return FUseTabStops; }
    void SetUseTabStops(bool Value);
    int SpacesPerTab() const override { return FSpacesPerTab; }
    void SetSpacesPerTab(int Value);  // 0 or less is taken as 1
    TKeyMapping KeyMapping() const { return FKeyMapping; }
    void SetKeyMapping(TKeyMapping Value) { FKeyMapping = Value; }
    bool ReadOnly() const override { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Background and text colours.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    // The character set of the font: the bytes are shown through Windows-1252
    // (Ansi) or code page 437 (Oem).
    TCodePage FontCharset() const { return FFontCharset; }
    void SetFontCharset(TCodePage Value);

    // --- public fields (the editing state lives in the text model) -----------------
    std::int64_t TopLine = 0;
    std::int64_t LeftColumn = 0;
    bool UpdatesEnabled = true;
    bool HyphenInWords = false;
    bool WordMarked = false;
    bool MouseSelecting = false;
    TPoint DragStartPos;
    // The text colour on HighlightColor, recomputed at every paint.
    TColor HighlightTextColor = clWhite;

    // --- events ------------------------------------------------------------------------
    TNotifyEvent OnFocus;
    TNotifyEvent OnUnFocus;
    TNotifyEvent OnPaint;
    TScaleEvent OnScaleChange;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    // Fired first by KeyDown and KeyPress; they may consume the key (set it to 0).
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // --- engine hooks --------------------------------------------------------------------
    void RequestRedraw(bool Relayout) override;
    std::int64_t VisibleLines() const override { return FVisibleLines; }
    TShiftState LiveModifiers() const override;
    std::int64_t ViewTopLine() const override { return TopLine; }
    void SetViewTopLine(std::int64_t Line) override { TopLine = Line; }
    std::int64_t ViewLeftColumn() const override { return LeftColumn; }
    bool SetViewOrigin(TPoint P) override { return SetTopLeft(P); }
    void RedrawFound() override;
    TCodePage PasteCodePage() const override { return FFontCharset; }

    // --- state ---------------------------------------------------------------------------
    void SetMarking(bool Value);
    // scmStop, one empty line, view at the top, redraw and OnChange.
    void Clear();
    // Takes Source's buffer, cursor, highlight, undo rings and searcher (once).
    void ShareBuffer(TScrollEditor* Source);
    using TEditorEngine::ShareBuffer;

    // --- display (EditorLayout.cpp, EditorPaint.cpp) ----------------------------------
    using TEditorEngine::UpdateDisplay;
    void UpdateDisplay(bool Relayout, bool FireChange);
    void RefreshView(bool Relayout) { UpdateDisplay(Relayout, true); }
    void Relayout();
    void EnsureCursorVisible();
    std::int64_t VisibleColumns() const { return FVisibleColumns; }
    int CharWidth() const { return FCharWidth; }
    int LineHeight() const { return FLineHeight; }
    double CharWidthReal() const { return FCharWidthReal; }
    int GutterWidth() const;
    int LineNumberWidth() const;
    // The caret's top-left corner in unscaled pixels.
    TPoint CaretPos() const;
    TPoint PixelToDisplayPos(std::int64_t X, std::int64_t Y) const;
    void PixelToPos(std::int64_t X, std::int64_t Y, TPoint& P) const;
    void Unscale(std::int64_t& X, std::int64_t& Y) const;
    std::string ExpandTabs(const std::string& S) const;
    // The column at which the character at P is shown once tabs are expanded.
    std::int64_t DisplayColumn(TPoint P, bool PermitPastEnd) const override;
    // The text column of line Y shown at display column D.
    std::int64_t TextColumn(std::int64_t Y, std::int64_t D) const;
    // The number written in the line-number column, with thousands separators.
    static std::string LineNumberText(std::int64_t N);
    // The numbers the last paint wrote in the line-number column.
    const std::vector<std::string>& PaintedLineNumbers() const { return FPaintedLineNumbers; }
    void PaintLineNumbers(QPainter& Canvas);

    // --- scrolling and zoom (EditorScroll.cpp) ------------------------------------------
    bool SetTopLeft(TPoint P);
    void ScrollLineUp();
    void ScrollLineDown();
    void ScrollPageUp();
    void ScrollPageDown();
    void ScrollToLine(std::int64_t N);
    void ScrollVert(TScrollCode Code, std::int64_t& Pos);
    void SetScrollRanges(std::int64_t Longest);
    double Scale() const { return static_cast<double>(FScaleTenths) / 10.0; }
    // Kept in exact tenths from 1.0 up; a value that is not a number is refused.
    void SetScale(double S);

    // --- caret (EditorCaret.cpp) -----------------------------------------------------------
    // Whether the caret exists (the editor has the focus) and is in its visible phase.
    bool CaretCreated() const { return FCaretCreated; }
    bool CaretShown() const { return FCaretCreated && FCaretOn; }
    // The caret in client pixels (zoomed).
    QRect CaretRect() const;
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;

    // --- highlight, words and scoop (EditorMarks.cpp) ------------------------------------
    void CursorToMarkStart();
    void CursorToMarkEnd();
    void GetWordBounds(TPoint P, TRect& R) const;
    void GetWordAtCursorBounds(TRect& R) const;
    void GetWordAtCursor(std::string& S) const;
    void MarkWordAtCursor();
    void MarkLine();
    void MarkParagraph();
    // Whether the text point under the unscaled pixel (X, Y) lies in the highlight.
    bool PointInMark(std::int64_t X, std::int64_t Y, bool ClickTest) const;

    // --- mouse, drag and drop (EditorMouse.cpp, EditorDragDrop.cpp) ----------------------
    // X and Y in client pixels (zoomed), as the mouse reports them.
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, std::int64_t X, std::int64_t Y, bool Double);
    void MouseMove(Qt::KeyboardModifiers Shift, std::int64_t X, std::int64_t Y);
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, std::int64_t X, std::int64_t Y);
    // A drag of the highlighted text leaves this pane; Ctrl held at the drop copies.
    bool DragPending() const { return FDragPending; }
    void DragOver(TScrollEditor* Source, std::int64_t X, std::int64_t Y);
    // Answers what the drop did: Qt::MoveAction when the text left Source,
    // Qt::CopyAction when Source kept it, Qt::IgnoreAction when nothing went in.
    Qt::DropAction DragDrop(TScrollEditor* Source, std::int64_t X, std::int64_t Y);
    // The live editor a drag's data names, or nullptr.
    static TScrollEditor* EditorFromMime(const QMimeData* Data);
    bool DragSelecting() const { return FDragTimer.isActive(); }

    // --- keys (EditorKeys.cpp, KeyMaps.cpp) ------------------------------------------------
    // The two stages of a key event. Each fires its event first; a stand-alone editor
    // then handles the key itself (navigation and editing keys in KeyDown, characters
    // through the map of KeyMapping). A key consumed in KeyDown still brings its
    // character to KeyPress, as on the desktop the program comes from; a character
    // 0 there is no character.
    virtual void KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers Shift);
    virtual void KeyPress(char& Key);
    // One character through the map of the current KeyMapping; what the map does not
    // take is typed.
    void DispatchKey(char Ch);
    // TypeChar unless ReadOnly.
    void TypeKey(char Ch);
    // The maps: true when the character was taken.
    bool MapDefaultKey(char Ch, bool Shift);
    bool MapNRVKey(char Ch, bool Shift);
    bool MapNRVLiteKey(char Ch, bool Shift);
    // Copies a mark; then (unless ReadOnly) deletes it, or without a mark in line
    // mode deletes to the line start (Shift: to the line end). A found match is
    // copied and its highlight cleared, nothing deleted.
    void CutKey(bool Shift, bool LineMode);
    // Copies a mark; without one, with DeleteWord and not ReadOnly, deletes the word
    // left of the cursor.
    void CopyKey(bool DeleteWord);
    // The marked text; with nothing marked the word at the cursor is marked first.
    std::string GetMarkOrWord();
    // The marked text (or the word at the cursor) searched backward or forward as a
    // whole word without case (options that stay on).
    void FindMarkBackward();
    void FindMarkForward();
    // The next character typed in kmNRV or kmNRVLite is inserted as it is; one flag
    // for every editor of the program.
    inline static bool QuoteNextKey = false;

protected:
    bool event(QEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    void DoHorzScroll(TScrollCode Code, std::int64_t& ScrollPos) override;
    void DoVertChange() override;

    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool focusNextPrevChild(bool Next) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    // Painting (EditorPaint.cpp).
    void Paint(QPainter& Canvas);
    // Draws line Y at row y; returns its display length.
    std::int64_t DrawLine(QPainter& Canvas, std::int64_t Y, const TRect& Mark, int Gutter);
    std::int64_t DisplayLength(std::int64_t Y) const;
    std::int64_t LongestVisibleLine() const;
    void MeasureCell();
    // Which bytes' glyphs advance by exactly one cell in the canvas font.
    void MeasureGlyphCells();
    void ClampTopLine();
    double ClientWidth() const;   // unscaled
    double ClientHeight() const;  // unscaled

    // Caret (EditorCaret.cpp).
    void CreateCaret();
    void DestroyCaret();
    void RecreateCaret();
    void CaretMoved();

    // Mouse (EditorMouse.cpp, EditorDragDrop.cpp).
    void DragSelectStep(bool Extend);
    void DragSelectTick();
    void StartDrag();
    void DropWithin(TScrollEditor* Source, TPoint D, const std::string& T, bool Move);
    void DropAcross(TScrollEditor* Source, TPoint D, const std::string& T, bool Move);
    // Whether key events are this editor's to handle (stand-alone, or an owner
    // listening); otherwise they go on to the parent.
    bool TakesKeys() const { return FStandAlone || OnKeyDown || OnKeyPress; }
    void FindMark(bool Forward);

    bool FLineNumbers = false;
    bool FStandAlone = false;
    bool FShowAll = false;
    int FGutterSize = 5;
    int FCursorWidth = 3;
    bool FLinearHScroll = false;
    TColor FHighlightColor = 0x800000;
    TColor FNonDeleteColor = 0x000000;
    TColor FControlColor = 0x0000FF;
    TColor FShadowColor = 0xFAF0E6;
    bool FShadowLine = false;
    bool FUseTabStops = true;
    int FSpacesPerTab = 8;
    TKeyMapping FKeyMapping = kmDefault;
    bool FReadOnly = false;
    TColor FColor = clWhite;
    TColor FFontColor = clBlack;
    TCodePage FFontCharset = TCodePage::Ansi;

    std::int64_t FScaleTenths = 10;
    std::int64_t FVisibleLines = 0;
    std::int64_t FVisibleColumns = 0;
    QFont FCanvasFont;
    int FCharWidth = 8;
    int FLineHeight = 16;
    int FAscent = 12;
    double FCharWidthReal = 8;
    std::array<std::uint8_t, 256> FWholeCell{};
    TCodePage FWholeCellPage = TCodePage::Ansi;
    bool FWholeCellValid = false;
    std::vector<std::string> FPaintedLineNumbers;

    bool FCaretCreated = false;
    bool FCaretOn = false;
    QTimer FCaretTimer;
    QRect FCaretDrawn;

    int FWheelRemainder = 0;
    bool FDragPending = false;
    QPoint FPressPixel;
    QPoint FPointer;  // the pointer during a drag-select, client pixels
    bool FButtonDown = false;
    QTimer FDragTimer;
    // The state before the latest press: when the second press of a double click
    // reaches us before the double click itself, the double click starts from it.
    struct TPressState {
        THighLight Mark;
        TPoint CursorPos;
        bool ColumnBlock = false;
        bool Anchored = false;
        TPoint AnchorPos;
    } FBeforePress;
    bool FPressSinceRelease = false;
};

}  // namespace narvo
