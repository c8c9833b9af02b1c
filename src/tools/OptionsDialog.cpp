// The "Options" dialog (see OptionsDialog.h): four tabs built in code, filled from
// the live settings at every showing, applied on OK only.
#include "tools/OptionsDialog.h"

#include "platform/FileDialogs.h"
#include "platform/TextConvert.h"

#include "components/CheckBoxExt.h"
#include "components/ChmHelper.h"
#include "components/IntSpin.h"
#include "components/RealSpin.h"
#include "editor/ScrollEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace narvo {

namespace {

constexpr int OptionsHelpContext = 5;

TIntegerSpin* MakeSpin(QWidget* Parent, int Min, int Max)
{
    auto* S = new TIntegerSpin(Parent);
    S->UseLimit = true;
    S->SetMaxValue(Max);
    S->SetMinValue(Min);
    S->SetValue(Min);
    return S;
}

// A group box holding one control with an optional label before it.
QGroupBox* Group(const QString& Caption, QWidget* Control, const QString& Label = {})
{
    auto* G = new QGroupBox(Caption);
    auto* L = new QHBoxLayout(G);
    if (!Label.isEmpty())
        L->addWidget(new QLabel(Label));
    L->addWidget(Control);
    return G;
}

// Folder names are file-system bytes.

int ClampInt(std::int64_t V, int Min, int Max)
{
    return static_cast<int>(std::clamp<std::int64_t>(V, Min, Max));
}

}  // namespace

double IntervalToMinutes(std::int32_t Milliseconds) { return Milliseconds / 60000.0; }

std::int32_t MinutesToInterval(double Minutes)
{
    if (std::isnan(Minutes))
        Minutes = 10;
    Minutes = std::clamp(Minutes, MinAutoSaveMinutes, MaxAutoSaveMinutes);
    return static_cast<std::int32_t>(std::lround(Minutes * 60000.0));
}

TOptionsDlg::TOptionsDlg(TOptionsHooks Hooks, QWidget* Parent) : QDialog(Parent), FHooks(std::move(Hooks))
{
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    Pages = new QTabWidget(this);

    // --- Display
    auto* Display = new QWidget;
    auto* DL = new QGridLayout(Display);
    LinearScrollChk = new QCheckBox(QStringLiteral("Linear Horizontal Scroll"));
    ShadowChk = new QCheckBox(QStringLiteral("Shadow Cursor Line"));
    CursorSpin = MakeSpin(Display, MinCursorWidth, MaxCursorWidth);
    auto* CWidthBtn = new QPushButton(QStringLiteral("Char. Width"));
    auto* CursorGroup = new QGroupBox(QStringLiteral("Cursor Width"));
    auto* CL = new QHBoxLayout(CursorGroup);
    CL->addWidget(CursorSpin);
    CL->addWidget(CWidthBtn);
    ReopenSpin = MakeSpin(Display, MinReopenLimit, MaxReopenLimit);
    auto* ScreenSizeBtn = new QPushButton(QStringLiteral("Use Current Size"));
    TabSpacesSpin = MakeSpin(Display, MinSpacesPerTab, MaxSpacesPerTab);
    TabSpacesSpin->SetValue(8);
    DL->addWidget(LinearScrollChk, 0, 0);
    DL->addWidget(ShadowChk, 1, 0);
    DL->addWidget(CursorGroup, 2, 0);
    DL->addWidget(Group(QStringLiteral("Reopen List"), ReopenSpin, QStringLiteral("Number Of Files")), 0, 1, 2, 1);
    DL->addWidget(Group(QStringLiteral("Default Screen Size"), ScreenSizeBtn), 2, 1);
    DL->addWidget(Group(QStringLiteral("Spaces Per Tab"), TabSpacesSpin), 3, 0);
    Pages->addTab(Display, QStringLiteral("Display"));

    // --- Tools
    auto* Tools = new QWidget;
    auto* TL = new QGridLayout(Tools);
    ToolChk = new QCheckBox(QStringLiteral("Show Tool Bar"));
    RulerChk = new QCheckBox(QStringLiteral("Show Ruler"));
    CmdChk = new QCheckBox(QStringLiteral("Show Cmd. Line"));
    StatusChk = new QCheckBox(QStringLiteral("Show Status"));
    Status2Chk = new QCheckBox(QStringLiteral("Show Status"));
    HorizScrllChk = new QCheckBox(QStringLiteral("Horizontal Scrollbar"));
    VertScrllChk = new QCheckBox(QStringLiteral("Vertical Scrollbar"));
    TL->addWidget(ToolChk, 0, 0);
    TL->addWidget(RulerChk, 1, 0);
    TL->addWidget(CmdChk, 2, 0);
    TL->addWidget(StatusChk, 3, 0);
    TL->addWidget(Status2Chk, 4, 0);
    TL->addWidget(HorizScrllChk, 0, 1);
    TL->addWidget(VertScrllChk, 1, 1);
    Pages->addTab(Tools, QStringLiteral("Tools"));

    // --- Actions
    auto* Actions = new QWidget;
    auto* AL = new QGridLayout(Actions);
    auto* WordGroup = new QGroupBox(QStringLiteral("Word Move/Delete Style"));
    auto* WL = new QVBoxLayout(WordGroup);
    OldWordStyleRadio = new QRadioButton(QStringLiteral("To Word Start (Old Style)"));
    NewWordStyleRadio = new QRadioButton(QStringLiteral("To Separator Start (New Style)"));
    WL->addWidget(OldWordStyleRadio);
    WL->addWidget(NewWordStyleRadio);
    OldWordStyleRadio->setChecked(true);
    HiSearchChk = new QCheckBox(QStringLiteral("Highlight Search Results"));
    AppendEOFChk = new QCheckBox(QStringLiteral("Append EOF Character To Files"));
    MinSpacesSpin = MakeSpin(Actions, MinMinimumSpace, MaxMinimumSpace);
    AutoSaveChk = new TCheckedGroup;
    AutoSaveChk->BeginLoad();
    AutoSaveChk->SetCaption(QStringLiteral("Auto Save"));
    AutoSaveChk->SetEnableChildren(true);
    auto* SL = new QHBoxLayout(AutoSaveChk);
    SL->setContentsMargins(9, 20, 9, 9);
    AutoSaveSpin = new TRealSpin(AutoSaveChk);
    AutoSaveSpin->UseLimit = true;
    AutoSaveSpin->SetMaxValue(MaxAutoSaveMinutes);
    AutoSaveSpin->SetMinValue(MinAutoSaveMinutes);
    AutoSaveSpin->Increment = 1;
    AutoSaveSpin->SetValue(10);
    AutoSaveSpin->SetUnitsString(QStringLiteral("Min."));
    SL->addWidget(new QLabel(QStringLiteral("Interval"), AutoSaveChk));
    SL->addWidget(AutoSaveSpin);
    AutoSaveChk->SetChecked(true);
    AutoSaveChk->Loaded();
    AL->addWidget(WordGroup, 0, 0, 1, 2);
    AL->addWidget(HiSearchChk, 1, 0);
    AL->addWidget(AppendEOFChk, 2, 0);
    AL->addWidget(Group(QStringLiteral("Spaces To Tabs"), MinSpacesSpin, QStringLiteral("Minimum Spaces")), 1, 1, 2, 1);
    AL->addWidget(AutoSaveChk, 3, 0, 1, 2);
    Pages->addTab(Actions, QStringLiteral("Actions"));

    // --- Directories
    auto* Dirs = new QWidget;
    auto* RL = new QGridLayout(Dirs);
    MacDirEdit = new QLineEdit;
    DefaultDirEdit = new QLineEdit;
    auto* BrowseMacroBtn = new QPushButton(QStringLiteral("Browse"));
    auto* BrowseDefaultBtn = new QPushButton(QStringLiteral("Browse"));
    RL->addWidget(new QLabel(QStringLiteral("Macro Directory")), 0, 0);
    RL->addWidget(MacDirEdit, 1, 0);
    RL->addWidget(BrowseMacroBtn, 1, 1);
    RL->addWidget(new QLabel(QStringLiteral("Default Directory")), 2, 0);
    RL->addWidget(DefaultDirEdit, 3, 0);
    RL->addWidget(BrowseDefaultBtn, 3, 1);
    RL->setRowStretch(4, 1);
    Pages->addTab(Dirs, QStringLiteral("Directories"));

    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Pages);
    Layout->addWidget(Buttons);

    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetDialogHelp(this, Buttons->button(QDialogButtonBox::Help), OptionsHelpContext);
    connect(CWidthBtn, &QPushButton::clicked, this, [this] { CWidthBtnClick(); });
    connect(ScreenSizeBtn, &QPushButton::clicked, this, [this] { ScreenSizeBtnClick(); });
    connect(BrowseMacroBtn, &QPushButton::clicked, this, [this] { BrowseMacroBtnClick(); });
    connect(BrowseDefaultBtn, &QPushButton::clicked, this, [this] { BrowseDefaultBtnClick(); });
    Pages->setCurrentIndex(0);
}

void TOptionsDlg::ShowScrollChecks()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    if (!Main)
        return;
    const TScrollStyle S = Main->ScrollBars();
    HorizScrllChk->setChecked(S == ssHorizontal || S == ssBoth);
    VertScrllChk->setChecked(S == ssVertical || S == ssBoth);
    ShadowChk->setChecked(Main->ShadowLine());
}

void TOptionsDlg::FillControls()
{
    const TOptionsValues V = FHooks.ReadValues ? FHooks.ReadValues() : TOptionsValues{};
    ShowFolder(MacDirEdit, FMacroFolder, V.MacroFolder);
    ShowFolder(DefaultDirEdit, FDefaultFolder, V.DefaultFolder);
    ToolChk->setChecked(V.ToolBarVisible);
    HiSearchChk->setChecked(V.HighlightSearch);
    if (TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr) {
        LinearScrollChk->setChecked(Main->LinearHScroll());
        AppendEOFChk->setChecked(Main->CtrlZMode);
        CursorSpin->SetValueQuiet(ClampInt(Main->CursorWidth(), MinCursorWidth, MaxCursorWidth));
    }
    ShowScrollChecks();
    ReopenSpin->SetValueQuiet(ClampInt(V.ReopenLimit, MinReopenLimit, MaxReopenLimit));
    RulerChk->setChecked(V.RulerVisible);
    CmdChk->setChecked(V.CmdLineVisible);
    StatusChk->setChecked(V.StatusVisible);
    Status2Chk->setChecked(V.Status2Visible);
    // Both panes always hold the same tab width; the second pane's is shown.
    TScrollEditor* Tabs = FHooks.Editor2 ? FHooks.Editor2() : nullptr;
    if (!Tabs && FHooks.MainEditor)
        Tabs = FHooks.MainEditor();
    if (Tabs)
        TabSpacesSpin->SetValueQuiet(ClampInt(Tabs->SpacesPerTab(), MinSpacesPerTab, MaxSpacesPerTab));
    (V.NewWordStyle ? NewWordStyleRadio : OldWordStyleRadio)->setChecked(true);
    MinSpacesSpin->SetValueQuiet(ClampInt(V.MinimumSpace, MinMinimumSpace, MaxMinimumSpace));
    AutoSaveChk->SetNoEventChecked(V.AutoSaveEnabled);
    AutoSaveSpin->SetValue(AutoSaveSpin->ApplyLimits(IntervalToMinutes(V.AutoSaveInterval)));
    Pages->setCurrentIndex(0);
}

void TOptionsDlg::ApplyToEditor(TScrollEditor& Editor)
{
    const bool H = HorizScrllChk->isChecked(), Vt = VertScrllChk->isChecked();
    Editor.SetScrollBars(H && Vt ? ssBoth : H ? ssHorizontal : Vt ? ssVertical : ssNone);
    Editor.SetCursorWidth(static_cast<int>(CursorSpin->Value()));
    Editor.SetLinearHScroll(LinearScrollChk->isChecked());
    Editor.SetShadowLine(ShadowChk->isChecked());
    Editor.CtrlZMode = AppendEOFChk->isChecked();
    Editor.SetSpacesPerTab(static_cast<int>(TabSpacesSpin->Value()));
    Editor.RefreshView(true);
}

void TOptionsDlg::ApplyControls()
{
    TOptionsValues V;
    V.DefaultFolder = FolderOf(DefaultDirEdit, FDefaultFolder);
    V.MacroFolder = FolderOf(MacDirEdit, FMacroFolder);
    V.ToolBarVisible = ToolChk->isChecked();
    V.HighlightSearch = HiSearchChk->isChecked();
    V.ReopenLimit = static_cast<int>(ReopenSpin->Value());
    V.CmdLineVisible = CmdChk->isChecked();
    V.RulerVisible = RulerChk->isChecked();
    V.StatusVisible = StatusChk->isChecked();
    V.Status2Visible = Status2Chk->isChecked();
    V.NewWordStyle = NewWordStyleRadio->isChecked();
    V.MinimumSpace = static_cast<int>(MinSpacesSpin->Value());
    // The real spin keeps whatever number was typed; the range is applied here.
    V.AutoSaveInterval = MinutesToInterval(AutoSaveSpin->ApplyLimits(AutoSaveSpin->Value()));
    V.AutoSaveEnabled = AutoSaveChk->Checked();
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    TScrollEditor* Second = FHooks.Editor2 ? FHooks.Editor2() : nullptr;
    if (Main)
        ApplyToEditor(*Main);
    if (Second && Second != Main)
        ApplyToEditor(*Second);
    if (FHooks.ApplyValues)
        FHooks.ApplyValues(V);
    if (Main)
        Main->setFocus();
}

bool TOptionsDlg::ShowOptionsDlg()
{
    FillControls();
    if (exec() != QDialog::Accepted)
        return false;
    ApplyControls();
    return true;
}

void TOptionsDlg::CWidthBtnClick()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    if (!Main)
        return;
    const int W = QFontMetrics(Main->font()).averageCharWidth();
    CursorSpin->SetValue(ClampInt(W, MinCursorWidth, MaxCursorWidth));
}

void TOptionsDlg::ScreenSizeBtnClick()
{
    if (FHooks.SaveFormSize)
        FHooks.SaveFormSize();
}

void TOptionsDlg::ShowFolder(QLineEdit* Edit, std::string& Kept, const std::string& Name)
{
    Kept = Name;
    Edit->setText(FileNameToQString(Name));
}

std::string TOptionsDlg::FolderOf(const QLineEdit* Edit, const std::string& Kept) const
{
    return EditedFileName(Kept, Edit->text());
}

std::optional<std::string> TOptionsDlg::ChooseFolder(const std::string& Start)
{
    if (FHooks.ChooseFolder)
        return FHooks.ChooseFolder(Start);
    // The toolkit's folder dialog offers "Create New Folder" itself.
    return ChooseExistingFolder(this, "Select Directory", Start);
}

void TOptionsDlg::BrowseMacroBtnClick()
{
    if (const auto Dir = ChooseFolder(FolderOf(MacDirEdit, FMacroFolder)))
        ShowFolder(MacDirEdit, FMacroFolder, *Dir);
}

void TOptionsDlg::BrowseDefaultBtnClick()
{
    if (const auto Dir = ChooseFolder(FolderOf(DefaultDirEdit, FDefaultFolder)))
        ShowFolder(DefaultDirEdit, FDefaultFolder, *Dir);
}

}  // namespace narvo
