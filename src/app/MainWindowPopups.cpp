// The main window's pop-up menus and the clicks on its bars: the command editor's
// and the panes' edit menus, the ruler's margin presets and the guide line drawn
// over the main pane while the mouse is down on the ruler, the status fields' copy
// menu, and the box-drawing field that steps to the next style.
#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "app/SmallTools.h"
#include "components/TextRuler.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/TextConvert.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

namespace narvo {

namespace {

// A left click on the box-drawing field.
class TBoxIncClick : public QObject {
public:
    explicit TBoxIncClick(TMainMenus* Menus) : QObject(Menus), FMenus(Menus) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
            RunGuarded([this] { FMenus->BoxIncBtnClick(); });
        return QObject::eventFilter(Watched, Event);
    }

private:
    TMainMenus* FMenus;
};

QAction* PopupItem(QMenu* Menu, const char* Name, const char* Caption, std::function<void()> Handler)
{
    QAction* A = Menu->addAction(QString::fromLatin1(Caption));
    A->setObjectName(QString::fromLatin1(Name));
    QObject::connect(A, &QAction::triggered, Menu, [H = std::move(Handler)] { RunGuarded(H); });
    return A;
}

void StopScooping(TEditorEngine& Pane)
{
    if (TXRegister* R = ProgramRegister())
        R->ScoopOff(Pane, false);
}

}  // namespace

std::string MarginPresetCaption(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(MarginPresets.size()))
        return {};
    const TMarginPreset& P = MarginPresets[static_cast<std::size_t>(Index)];
    return std::to_string(Index) + " - " + std::to_string(P.Left) + ", " + std::to_string(P.Right) + ", " +
           std::to_string(P.Indent);
}

void TMainMenus::CreatePopups()
{
    CmdPopup = new QMenu(&F);
    CmdPopup->setObjectName(QStringLiteral("CmdPopup"));
    PopupItem(CmdPopup, "CmdCutMnu", "Cut", [this] { CmdCutMnuClick(); });
    PopupItem(CmdPopup, "CmdCopyMnu", "Copy", [this] { CmdCopyMnuClick(); });
    PopupItem(CmdPopup, "CmdPasteMnu", "Paste", [this] { CmdPasteMnuClick(); });
    PopupItem(CmdPopup, "CmdDeleteMnu", "Delete", [this] { CmdDeleteMnuClick(); });
    PopupItem(CmdPopup, "SelectAllCmdMnu", "Select All", [this] { SelectAllCmdMnuClick(); });
    F.CmdEditor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(F.CmdEditor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { CmdPopup->popup(F.CmdEditor->viewport()->mapToGlobal(At)); });

    ScreenPopup = new QMenu(&F);
    ScreenPopup->setObjectName(QStringLiteral("ScreenPopup"));
    PopupItem(ScreenPopup, "CutPopMnu", "Cut", [this] { CutBtnClick(); });
    PopupItem(ScreenPopup, "CopyPopMnu", "Copy", [this] { CopyBtnClick(); });
    PopupItem(ScreenPopup, "PastePopMnu", "Paste", [this] { PasteBtnClick(); });
    PopupItem(ScreenPopup, "DeleteMnu", "Delete", [this] { DeleteMnuClick(); });
    PopupItem(ScreenPopup, "SelectAllPopMnu", "Select All", [this] { SelectAllMnuClick(); });
    ScreenPopup->addSeparator();
    PopupItem(ScreenPopup, "OpenHighlightedPopMnu", "Open Highlighted as Web Page",
              [this] { OpenHighlightedasWebPage1Click(); });
    PopupItem(ScreenPopup, "SearchHighlightedPopMnu", "Search Highlighted on Web",
              [this] { SearchHighlightedonWeb1Click(); });
    for (TScrollEditor* Pane : {F.MainEditor, F.Editor2, F.Editor3}) {
        Pane->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(Pane, &QWidget::customContextMenuRequested, this,
                [this, Pane](const QPoint& At) { ScreenPopup->popup(Pane->viewport()->mapToGlobal(At)); });
    }

    MarginPopup = new QMenu(&F);
    MarginPopup->setObjectName(QStringLiteral("MarginPopup"));
    for (int I = 0; I < 4; ++I) {
        const std::string Name = "Margin" + std::to_string(I + 1);
        MarginItems[I] = PopupItem(MarginPopup, Name.c_str(), "", [this, I] { MarginClick(I + 1); });
    }
    connect(MarginPopup, &QMenu::aboutToShow, this, &TMainMenus::MarginPopupPopup);
    F.TextRuler->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(F.TextRuler, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { MarginPopup->popup(F.TextRuler->mapToGlobal(At)); });
    F.TextRuler->OnMouseDown = [this](QObject*, Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int) {
        if (Button == Qt::LeftButton)
            DrawRulerGuide(X);
    };
    F.TextRuler->OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int X, int) {
        if (F.RulerGuideColumn >= 0)
            DrawRulerGuide(X);
    };
    F.TextRuler->OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        DrawRulerGuide(-1);
    };

    StatusPopup = new QMenu(&F);
    StatusPopup->setObjectName(QStringLiteral("StatusPopup"));
    StatusCopyMnu = PopupItem(StatusPopup, "StatusCopyMnu", "Copy", [this] { StatusCopyMnuClick(); });
    for (QWidget* Bar : {F.StatusBar, F.StatusBar2})
        for (QLabel* Field : Bar->findChildren<QLabel*>()) {
            if (Field->frameShape() == QFrame::NoFrame)
                continue;  // a caption, not a field
            Field->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(Field, &QWidget::customContextMenuRequested, this, [this, Field](const QPoint& At) {
                StatusPopupPopup(Field);
                StatusPopup->popup(Field->mapToGlobal(At));
            });
        }

    F.BoxCharDis->installEventFilter(new TBoxIncClick(this));
}

// --- the command editor's pop-up --------------------------------------------------------------

void TMainMenus::CmdCutMnuClick()
{
    TScrollEditor& C = *F.CmdEditor;
    if (C.HasMark())
        C.CutMarkHtml();
    EnablePaste();
    FocusBack(C);
}

void TMainMenus::CmdCopyMnuClick()
{
    TScrollEditor& C = *F.CmdEditor;
    if (C.HasMark())
        C.CopyMark();
    EnablePaste();
    FocusBack(C);
}

void TMainMenus::CmdPasteMnuClick()
{
    TScrollEditor& C = *F.CmdEditor;
    StopScooping(Active());
    C.Paste();
    FocusBack(C);
}

void TMainMenus::CmdDeleteMnuClick()
{
    TScrollEditor& C = *F.CmdEditor;
    C.DeleteMark();
    FocusBack(C);
}

void TMainMenus::SelectAllCmdMnuClick()
{
    TScrollEditor& C = *F.CmdEditor;
    C.SelectAll();
    FocusBack(C);
}

// --- the panes' pop-up ------------------------------------------------------------------------

void TMainMenus::DeleteMnuClick()
{
    TScrollEditor& P = Active();
    P.DeleteMark();
    F.UpdateStatus();
    FocusBack(P);
}

// --- margin presets ---------------------------------------------------------------------------

void TMainMenus::MarginPopupPopup()
{
    for (int I = 0; I < 4; ++I)
        MarginItems[I]->setText(QString::fromLatin1(MarginPresetCaption(I).c_str()));
}

void TMainMenus::MarginClick(int Index)
{
    if (Index < 1 || Index > static_cast<int>(MarginPresets.size()))
        return;
    const TMarginPreset& P = MarginPresets[static_cast<std::size_t>(Index - 1)];
    LeftMargin = P.Left;
    RightMargin = P.Right;
    ParaIndent = P.Indent;
    F.UpdateStatus();
}

// --- the ruler's guide line -------------------------------------------------------------------

void TMainMenus::DrawRulerGuide(int X)
{
    QWidget* View = F.MainEditor->viewport();
    if (!FGuide) {
        auto* Line = new QFrame(View);
        Line->setObjectName(QStringLiteral("RulerGuide"));
        Line->setAttribute(Qt::WA_TransparentForMouseEvents);
        Line->setStyleSheet(QStringLiteral("border: none; border-left: 1px dotted black;"));
        FGuide = Line;
    }
    F.RulerGuideColumn = X;
    if (X < 0) {
        FGuide->hide();
        return;
    }
    const QPoint At = View->mapFromGlobal(F.TextRuler->mapToGlobal(QPoint(X, 0)));
    FGuide->setGeometry(At.x(), 0, 1, View->height());
    FGuide->show();
    FGuide->raise();
}

// --- the status fields ------------------------------------------------------------------------

void TMainMenus::StatusPopupPopup(QLabel* Field)
{
    FStatusField = Field;
    StatusCopyMnu->setText(QStringLiteral("Copy ") + (Field ? Field->text().trimmed() : QString()));
}

void TMainMenus::StatusCopyMnuClick()
{
    if (FStatusField)
        CopyTextToClipboard(QStringToAnsi(FStatusField->text().trimmed()));
    EnablePaste();
}

void TMainMenus::BoxIncBtnClick()
{
    NextBoxDrawingStyle();
    F.UpdateStatus();
}

}  // namespace narvo
