// Wiring of the options, colours, margin-preset and go-to-line dialogs (see
// PreferenceDialogs.h): the window-wide values they edit are read from and
// written to the main window, the settings module's values and the auto-save timer.
#include "app/PreferenceDialogs.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "components/RecentFiles.h"
#include "components/TextRuler.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "tools/ColorsDialog.h"
#include "tools/GoToLineDialog.h"
#include "tools/MarginPresetsDialog.h"
#include "tools/OptionsDialog.h"

#include <QPointer>

namespace narvo {

namespace {

QPointer<TOptionsDlg> GOptions;
QPointer<TColorDlg> GColors;
QPointer<TMarginsDlg> GMargins;

TScrollEditor* MainPane() { return Form1 ? Form1->MainEditor : nullptr; }
TScrollEditor* SecondPane() { return Form1 ? Form1->Editor2 : nullptr; }
bool Shown(const QWidget* W) { return W && !W->isHidden(); }
void SetShown(QWidget* W, bool Visible)
{
    if (W)
        W->setVisible(Visible);
}

TOptionsValues ReadOptionValues()
{
    TOptionsValues V;
    if (Form1) {
        V.ToolBarVisible = Shown(Form1->ToolBar);
        V.RulerVisible = Shown(Form1->TextRuler);
        V.CmdLineVisible = Shown(Form1->CmdControl);
        V.StatusVisible = Shown(Form1->StatusBar);
        V.Status2Visible = Shown(Form1->StatusBar2);
    }
    V.NewWordStyle = NewWordStyle;
    V.HighlightSearch = HighlightSearch;
    V.ReopenLimit = ReopenMenu().Limit;
    V.MinimumSpace = MinimumSpace;
    V.AutoSaveInterval = AutoSaveInterval;
    V.AutoSaveEnabled = AutoSaveEnabled;
    V.MacroFolder = MacroFolder;
    V.DefaultFolder = DefaultFolder;
    return V;
}

void ApplyOptionValues(const TOptionsValues& V)
{
    DefaultFolder = V.DefaultFolder;
    MacroFolder = V.MacroFolder;
    HighlightSearch = V.HighlightSearch;
    // Stored only: the menu keeps its items until it next changes.
    ReopenMenu().Limit = V.ReopenLimit;
    NewWordStyle = V.NewWordStyle;
    MinimumSpace = V.MinimumSpace;
    AutoSaveInterval = V.AutoSaveInterval;
    AutoSaveEnabled = V.AutoSaveEnabled;
    ApplyAutoSaveSettings();
    if (!Form1)
        return;
    SetShown(Form1->ToolBar, V.ToolBarVisible);
    SetShown(Form1->CmdControl, V.CmdLineVisible);
    SetShown(Form1->TextRuler, V.RulerVisible);
    SetShown(Form1->StatusBar, V.StatusVisible);
    SetShown(Form1->StatusBar2, V.Status2Visible);
    UpdateStatus();
}

TMarginPresetTable ReadPresetTable()
{
    TMarginPresetTable T;
    for (std::size_t I = 0; I < T.size(); ++I)
        T[I] = {MarginPresets[I].Left, MarginPresets[I].Right, MarginPresets[I].Indent};
    return T;
}

}  // namespace

void CreatePreferenceDialogs()
{
    if (!Form1)
        return;
    TForm1* Owner = Form1;
    GOptions = new TOptionsDlg(
        TOptionsHooks{MainPane, SecondPane, ReadOptionValues, ApplyOptionValues, [] { SaveFormSize(); }, {}}, Owner);
    GColors = new TColorDlg(TColorHooks{MainPane,
                                        SecondPane,
                                        [] { return Form1 ? Form1->CmdEditor : nullptr; },
                                        [](int Height) {
                                            if (Form1 && Form1->CmdControl)
                                                Form1->CmdControl->setFixedHeight(Height);
                                        },
                                        {},
                                        {}},
                            Owner);
    CreateLineNumDlg(TGoToLineHooks{MainPane,
                                    [](const std::string& Text, bool IsError) { ShowStatusMessage(Text, IsError); }},
                     Owner);
    GMargins = new TMarginsDlg(TMarginsHooks{ReadPresetTable,
                                             [](const TMarginPresetTable& T) {
                                                 for (std::size_t I = 0; I < T.size(); ++I)
                                                     MarginPresets[I] = {T[I].Left, T[I].Right, T[I].Indent};
                                             },
                                             [] { return TMarginValues{LeftMargin, RightMargin, ParaIndent}; },
                                             [](const TMarginValues& V) {
                                                 LeftMargin = V.Left;
                                                 RightMargin = V.Right;
                                                 ParaIndent = V.Indent;
                                                 UpdateStatus();
                                             }},
                               Owner);
}

void FreePreferenceDialogs()
{
    delete GMargins.data();
    FreeLineNumDlg();
    delete GColors.data();
    delete GOptions.data();
}

TOptionsDlg* OptionsDlg() { return GOptions.data(); }
TColorDlg* ColorDlg() { return GColors.data(); }
TMarginsDlg* MarginsDlg() { return GMargins.data(); }

}  // namespace narvo
