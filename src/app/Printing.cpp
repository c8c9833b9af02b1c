// The print preview in the window (see Printing.h). The preview keeps the print margins
// of the settings: they go into the form at every showing and come back after it.
#include "app/Printing.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "editor/ScrollEditor.h"
#include "tools/PPMain.h"

namespace narvo {

void PreviewMainPane(bool HighlightedOnly)
{
    if (!Form1 || !Form1->MainEditor)
        return;
    TScrollEditor& Pane = *Form1->MainEditor;
    std::string Text = HighlightedOnly ? Pane.GetMarkedText() : Pane.GetText();
    TPrintMarginValues Margins{PrintMargins.Left, PrintMargins.Top, PrintMargins.Right, PrintMargins.Bottom};
    CreatePrintForms();
    {
        // The pages are counted and the first drawn before the preview shows.
        const TWorkingOn Working(static_cast<std::int64_t>(Text.size()));
        PreparePrintPreview(Pane.font(), std::move(Text), Margins);
    }
    ShowPrintPreview(Margins);
    PrintMargins = TPrintMargins{Margins.Left, Margins.Right, Margins.Top, Margins.Bottom};
}

void CreatePrintForms() { CreatePreForm(Form1); }

}  // namespace narvo
