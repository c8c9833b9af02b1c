// The "Colors and Fonts" dialog (see ColorsDialog.h): the colour list with its
// swatches, the preview painted in the chosen font, and the apply step.
#include "tools/ColorsDialog.h"

#include "components/ChmHelper.h"
#include "editor/ScrollEditor.h"
#include "platform/Canvas.h"
#include "platform/FontChooser.h"
#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace narvo {

namespace {

constexpr int ColorsHelpContext = 6;
constexpr int ColorItemHeight = 16;
constexpr int CmdFontPoints = 9;

constexpr std::array<const char*, ColorItemCount> ItemNames{"Text",          "Screen",      "Highlight",
                                                            "Control Chars", "Shadow Line", "Search Highlight"};
constexpr std::array<TColor, ColorItemCount> InitialColors{0x000000, 0xFFFFFF, 0x800000,
                                                           0x0000FF, 0xC0C0C0, 0xC0C0C0};

// Draws a colour item: the name, and a swatch of its colour at the right.
class TColorItemDelegate : public QStyledItemDelegate {
public:
    TColorItemDelegate(TColorDlg& Dialog, QObject* Parent) : QStyledItemDelegate(Parent), FDialog(Dialog) {}

    void paint(QPainter* P, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const bool Selected = (Option.state & QStyle::State_Selected) != 0;
        const QRect R = Option.rect;
        P->fillRect(R, Option.palette.brush(Selected ? QPalette::Highlight : QPalette::Base));
        P->setPen(Option.palette.color(Selected ? QPalette::HighlightedText : QPalette::Text));
        P->drawText(R.adjusted(2, 0, -22, 0), Qt::AlignVCenter | Qt::AlignLeft, Index.data().toString());
        const int Row = std::clamp(Index.row(), 0, ColorItemCount - 1);
        const QRect Swatch(QPoint(R.right() - 20, R.top() + 3), QPoint(R.right() - 3, R.bottom() - 3));
        P->setPen(Qt::black);
        P->setBrush(ToQColor(FDialog.ColorItems[static_cast<std::size_t>(Row)].Color));
        P->drawRect(Swatch);
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        return {QStyledItemDelegate::sizeHint(Option, Index).width() + 24, ColorItemHeight};
    }

private:
    TColorDlg& FDialog;
};

}  // namespace

// The paint box of the preview.
class TPreviewBox : public QWidget {
public:
    TPreviewBox(TColorDlg& Dialog, QWidget* Parent) : QWidget(Parent), FDialog(Dialog) {}

protected:
    void paintEvent(QPaintEvent*) override { FDialog.DrawPreview(*this); }

private:
    TColorDlg& FDialog;
};

std::array<TPreviewInfo, ColorItemCount> BuildPreviewLines(const std::array<TColorInfo, ColorItemCount>& Items)
{
    auto C = [&](TColorItem I) { return Items[static_cast<std::size_t>(I)].Color; };
    return {{{C(ciText), C(ciScreen), "Normal Text"},
             {ContrastColor(C(ciHighlight)), C(ciHighlight), "Highlighted Text"},
             {ContrastColor(C(ciControl)), C(ciControl), "Control Characters"},
             {clBlack, C(ciControl) ^ 0xFFFFFF, "Highlighted Control"},
             {C(ciText), C(ciShadow), "Shadowed Line"},
             {ContrastColor(C(ciSearch)), C(ciSearch), "Search Highlight"}}};
}

TColorDlg::TColorDlg(TColorHooks Hooks, QWidget* Parent) : QDialog(Parent), FHooks(std::move(Hooks))
{
    setWindowTitle(QStringLiteral("Colors and Fonts"));
    setModal(true);
    for (int I = 0; I < ColorItemCount; ++I)
        ColorItems[static_cast<std::size_t>(I)] = {InitialColors[static_cast<std::size_t>(I)],
                                                   ItemNames[static_cast<std::size_t>(I)]};

    auto* ColorsGroup = new QGroupBox(QStringLiteral("Colors"));
    auto* CL = new QVBoxLayout(ColorsGroup);
    ColorList = new QListWidget;
    ColorList->setItemDelegate(new TColorItemDelegate(*this, ColorList));
    ColorList->setUniformItemSizes(true);
    auto* ColorBtn = new QPushButton(QStringLiteral("Edit Color"));
    CL->addWidget(ColorList);
    CL->addWidget(ColorBtn);

    auto* FontBtn = new QPushButton(QStringLiteral("Set Font"));
    CharsetBox = new QComboBox;
    CharsetBox->addItems({QStringLiteral("ANSI"), QStringLiteral("OEM")});
    auto* FontRow = new QHBoxLayout;
    FontRow->addWidget(FontBtn);
    FontRow->addWidget(new QLabel(QStringLiteral("Character Set")));
    FontRow->addWidget(CharsetBox);

    auto* PreviewGroup = new QGroupBox(QStringLiteral("Preview"));
    auto* PL = new QVBoxLayout(PreviewGroup);
    PreviewScroll = new QScrollArea;
    PreviewBox = new TPreviewBox(*this, PreviewScroll);
    // The box fills the view and is never smaller than its six lines: scroll bars
    // only come with a font too large for the dialog.
    PreviewScroll->setWidgetResizable(true);
    PreviewScroll->setWidget(PreviewBox);
    PreviewScroll->setMinimumSize(200, 110);
    PL->addWidget(PreviewScroll);

    auto* CmdGroup = new QGroupBox(QStringLiteral("Command Line"));
    auto* ML = new QVBoxLayout(CmdGroup);
    CmdFontChk = new QCheckBox(QStringLiteral("Use Screen Font"));
    CmdFontChk->setChecked(true);
    FontSizeChk = new QCheckBox(QStringLiteral("Use Screen Font Size"));
    ML->addWidget(CmdFontChk);
    ML->addWidget(FontSizeChk);

    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    auto* Grid = new QGridLayout(this);
    Grid->addWidget(ColorsGroup, 0, 0, 2, 1);
    Grid->addLayout(FontRow, 0, 1);
    Grid->addWidget(PreviewGroup, 1, 1);
    Grid->addWidget(CmdGroup, 2, 0);
    Grid->addWidget(Buttons, 2, 1, Qt::AlignBottom);

    // FormCreate: the six names, the first selected.
    for (const TColorInfo& Item : ColorItems)
        ColorList->addItem(QString::fromStdString(Item.Name));
    ColorList->setCurrentRow(0);

    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetDialogHelp(this, Buttons->button(QDialogButtonBox::Help), ColorsHelpContext);
    connect(ColorBtn, &QPushButton::clicked, this, [this] { ColorBtnClick(); });
    connect(ColorList, &QListWidget::itemDoubleClicked, this, [this] { ColorBtnClick(); });
    connect(FontBtn, &QPushButton::clicked, this, [this] { FontBtnClick(); });
    connect(CharsetBox, &QComboBox::currentIndexChanged, this,
            [this](int I) { ChosenCharset = I == 1 ? TCodePage::Oem : TCodePage::Ansi; });
    BuildPreview();
}

void TColorDlg::LoadColorsFromEditor()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    if (!Main)
        return;
    const std::array<TColor, ColorItemCount> C{Main->FontColor(),    Main->Color(),       Main->HighlightColor(),
                                               Main->ControlColor(), Main->ShadowColor(), Main->NonDeleteColor()};
    for (int I = 0; I < ColorItemCount; ++I)
        ColorItems[static_cast<std::size_t>(I)].Color = C[static_cast<std::size_t>(I)];
    ChosenFont = Main->font();
    ChosenCharset = Main->FontCharset();
    CharsetBox->setCurrentIndex(ChosenCharset == TCodePage::Oem ? 1 : 0);
    BuildPreview();
}

void TColorDlg::BuildPreview() { PreviewLines = BuildPreviewLines(ColorItems); }

void TColorDlg::DrawPreview(QWidget& Box)
{
    QPainter P(&Box);
    P.setFont(ChosenFont);
    const QFontMetrics M(ChosenFont);
    const int H = M.height();
    int W = 0;
    for (const TPreviewInfo& L : PreviewLines)
        W = std::max(W, M.horizontalAdvance(QString::fromStdString(L.Text)));
    P.fillRect(Box.rect(), ToQColor(ColorItems[ciScreen].Color));
    for (int I = 0; I < ColorItemCount; ++I) {
        const TPreviewInfo& L = PreviewLines[static_cast<std::size_t>(I)];
        const QRect Line(0, I * H, std::max(Box.width(), W + 6), H);
        P.fillRect(Line, ToQColor(L.Background));
        P.setPen(ToQColor(L.TextColor));
        P.drawText(Line.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(L.Text));
    }
}

void TColorDlg::Repaint()
{
    // The paint box grows to hold the six lines in the chosen font.
    const QFontMetrics M(ChosenFont);
    int W = 0;
    for (const TPreviewInfo& L : PreviewLines)
        W = std::max(W, M.horizontalAdvance(QString::fromStdString(L.Text)) + 6);
    const QSize Lines(W, ColorItemCount * M.height());
    PreviewBox->setMinimumSize(Lines);
    // The dialog opens with room for the six lines, within the screen.
    const QSize Area = WorkAreaSize(this);
    const int Frame = 2 * PreviewScroll->frameWidth();
    PreviewScroll->setMinimumSize(std::clamp(Lines.width() + Frame, 200, std::max(200, Area.width() / 2)),
                                  std::clamp(Lines.height() + Frame, 110, std::max(110, Area.height() / 2)));
    QPalette Pal = PreviewScroll->palette();
    Pal.setColor(QPalette::Window, ToQColor(ColorItems[ciScreen].Color));
    PreviewScroll->setPalette(Pal);
    ColorList->viewport()->update();
    PreviewBox->update();
}

void TColorDlg::ColorBtnClick()
{
    const int Row = ColorList->currentRow();
    if (Row < 0 || Row >= ColorItemCount)
        return;
    TColorInfo& Item = ColorItems[static_cast<std::size_t>(Row)];
    std::optional<TColor> Chosen;
    if (FHooks.PickColor) {
        Chosen = FHooks.PickColor(Item.Color);
    } else {
        const QColor C = QColorDialog::getColor(ToQColor(Item.Color), this);
        if (C.isValid())
            Chosen = FromQColor(C);
    }
    if (!Chosen)
        return;
    Item.Color = *Chosen & 0xFFFFFF;
    BuildPreview();
    Repaint();
}

void TColorDlg::FontBtnClick()
{
    std::optional<QFont> Chosen;
    if (FHooks.PickFont) {
        Chosen = FHooks.PickFont(ChosenFont);
    } else {
        Chosen = ChooseFixedFont(this, ChosenFont);
    }
    if (!Chosen)
        return;
    // A size the settings file could not give back is refused now, not changed
    // silently at the next start.
    const double Points = Chosen->pointSizeF();
    if (Points < 1 || Points > MaxFontPoints || Points != std::floor(Points)) {
        MessageDlg("The font size must be a whole number of points from 1 to " + std::to_string(MaxFontPoints) +
                       "; the font stays as it was.",
                   mtWarning, mbOK);
        return;
    }
    // The toolkit's fonts carry no colour: the text colour stays the "Text" item.
    ChosenFont = *Chosen;
    BuildPreview();
    Repaint();
}

void TColorDlg::ApplyColorsToEditor(TScrollEditor& Editor)
{
    Editor.setFont(ChosenFont);
    Editor.SetFontCharset(ChosenCharset);
    Editor.SetFontColor(ColorItems[ciText].Color);
    Editor.SetColor(ColorItems[ciScreen].Color);
    Editor.SetHighlightColor(ColorItems[ciHighlight].Color);
    Editor.SetControlColor(ColorItems[ciControl].Color);
    Editor.SetShadowColor(ColorItems[ciShadow].Color);
    Editor.SetNonDeleteColor(ColorItems[ciSearch].Color);
    Editor.RefreshView(true);
}

void TColorDlg::ApplyChoices()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    TScrollEditor* Second = FHooks.Editor2 ? FHooks.Editor2() : nullptr;
    if (Main)
        ApplyColorsToEditor(*Main);
    if (Second && Second != Main)
        ApplyColorsToEditor(*Second);
    TScrollEditor* Cmd = FHooks.CmdEditor ? FHooks.CmdEditor() : nullptr;
    if (!Cmd)
        return;
    if (CmdFontChk->isChecked()) {
        Cmd->setFont(ChosenFont);
        Cmd->SetFontCharset(ChosenCharset);
    }
    if (FontSizeChk->isChecked()) {
        if (FHooks.SetCmdPanelHeight)
            FHooks.SetCmdPanelHeight(std::abs(QFontMetrics(ChosenFont).height()) + 6);
    } else {
        QFont F = Cmd->font();
        F.setPointSize(CmdFontPoints);
        Cmd->setFont(F);
    }
    Cmd->RefreshView(true);
}

bool TColorDlg::ShowColorDlg()
{
    LoadColorsFromEditor();
    Repaint();
    if (exec() != QDialog::Accepted)
        return false;
    ApplyChoices();
    return true;
}

}  // namespace narvo
