// The print preview in the window: what the File menu's two print entries and the
// tool bar's print button show, and the preview's form, made when first shown.
#pragma once

namespace narvo {

// The preview of the main pane's text, or of its highlight alone.
void PreviewMainPane(bool HighlightedOnly);

// The print preview's form (once; the preview makes it before its first showing).
void CreatePrintForms();

}  // namespace narvo
