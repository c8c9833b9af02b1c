// TColorDlg, the modal "Colors and Fonts" dialog: the six colours and the font of
// the main pane, edited with a live preview, and given on OK to the main pane and
// the second pane (never the third), and optionally the font to the command line.
// The font carries its character set (ANSI or OEM), chosen beside "Set Font".
// Nothing is applied on Cancel; each showing starts again from the main pane.
#pragma once

#include "shared/CodePage.h"
#include "shared/Colour.h"

#include <QDialog>
#include <QFont>
#include <array>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QListWidget;
class QScrollArea;

namespace narvo {

class TScrollEditor;

struct TColorInfo {
    TColor Color = 0;
    std::string Name;
};

struct TPreviewInfo {
    TColor TextColor = 0;
    TColor Background = 0;
    std::string Text;
};

// The panes' font sizes the settings file keeps: whole points from 1 to this.
inline constexpr int MaxFontPoints = 200;

// Indexes of the colour items.
enum TColorItem { ciText, ciScreen, ciHighlight, ciControl, ciShadow, ciSearch, ColorItemCount };

// The preview lines for the six colours, in order (pure, so it is testable).
std::array<TPreviewInfo, ColorItemCount> BuildPreviewLines(const std::array<TColorInfo, ColorItemCount>& Items);

struct TColorHooks {
    std::function<TScrollEditor*()> MainEditor;
    std::function<TScrollEditor*()> Editor2;
    std::function<TScrollEditor*()> CmdEditor;
    // The command-line panel's height in pixels.
    std::function<void(int Height)> SetCmdPanelHeight;
    // The colour and font choosers; empty: the toolkit's dialogs.
    std::function<std::optional<TColor>(TColor Start)> PickColor;
    std::function<std::optional<QFont>(const QFont& Start)> PickFont;
};

class TColorDlg : public QDialog {
    Q_OBJECT
public:
    explicit TColorDlg(TColorHooks Hooks, QWidget* Parent = nullptr);

    // Loads from the main pane, shows modally, applies on OK. True on OK.
    bool ShowColorDlg();
    void LoadColorsFromEditor();
    void BuildPreview();
    void ApplyColorsToEditor(TScrollEditor& Editor);
    // OK's work: both panes, then the command line.
    void ApplyChoices();

    void ColorBtnClick();
    void FontBtnClick();

    std::array<TColorInfo, ColorItemCount> ColorItems;
    std::array<TPreviewInfo, ColorItemCount> PreviewLines;
    QFont ChosenFont;
    TCodePage ChosenCharset = TCodePage::Ansi;

    QListWidget* ColorList = nullptr;
    QComboBox* CharsetBox = nullptr;
    QScrollArea* PreviewScroll = nullptr;
    QWidget* PreviewBox = nullptr;
    QCheckBox* CmdFontChk = nullptr;
    QCheckBox* FontSizeChk = nullptr;

private:
    friend class TPreviewBox;
    void DrawPreview(QWidget& Box);
    void Repaint();
    TColorHooks FHooks;
};

}  // namespace narvo
