// The enclosing pairs, the wrap of the highlight and the "Enclose Text" dialog.
#include "tools/EncloseText.h"

#include "engine/EditorEngine.h"
#include "platform/TextConvert.h"
#include "tools/TextToolHooks.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace narvo {

const std::array<TEnclosePairItem, EnclosePairCount> EnclosePairs{{
    {"\"", "\"", "\""},
    {"'", "'", "'"},
    {"() ", "(", ")"},
    {"[]", "[", "]"},
    {"{}", "{", "}"},
    {"<b>", "<b>", "</b>"},
    {"<i>", "<i>", "</i>"},
    {"<u>", "<u>", "</u>"},
    {"<blockquote>", "<blockquote>", "</blockquote>"},
    {"begin end", "begin", "end"},
}};

namespace {

// The list shows the ten pairs in three columns of at most four.
constexpr int EncloseListColumns = 3;
constexpr int EncloseListRows = 4;

}  // namespace

TEnclosePair& CurrentEnclosePair()
{
    static TEnclosePair Pair;
    return Pair;
}

TEnclosePair BuildEnclosePair(const std::array<bool, EnclosePairCount>& Ticked, bool CRLFBefore, bool CRLFAfter)
{
    TEnclosePair P;
    for (int I = 0; I < EnclosePairCount; ++I) {
        if (!Ticked[I])
            continue;
        P.Before += EnclosePairs[I].Open;
        P.After = EnclosePairs[I].Close + P.After;
    }
    if (CRLFBefore)
        P.Before += "\r\n";
    if (CRLFAfter)
        P.After += "\r\n";
    return P;
}

void WrapSelection(TEditorEngine& Pane, const std::string& Before, const std::string& After)
{
    if (Pane.HasMark() && Pane.Cursor->ColumnBlock) {
        // Each line's part of the block is enclosed where it stands.
        Pane.ReplaceBlockParts(Pane.HighLight->Range(),
                               [&](const TBlockPart& P) { return Before + std::string(P.Text) + After; });
        return;
    }
    const std::string Marked = Pane.HasMark() ? Pane.GetMarkedText() : std::string();
    // A search match still shown is enclosed too, not kept beside its copy.
    Pane.HighLight->Found = false;
    Pane.InsertText(Before + Marked + After);
}

QPixmap DrawEncloseGlyph(const std::string& Before, const std::string& After)
{
    QFont Small;
    Small.setBold(true);
    Small.setPointSize(8);
    QFont Large = Small;
    Large.setPointSize(12);
    const QString Open = AnsiToQString(Before), Close = AnsiToQString(After);
    const QFontMetrics MS(Small), ML(Large);
    const int Width = MS.horizontalAdvance(Open) + MS.horizontalAdvance(Close) + ML.horizontalAdvance("B") + 4;
    QPixmap Glyph(Width, 24);
    Glyph.fill(Qt::transparent);
    QPainter Canvas(&Glyph);
    Canvas.setFont(Small);
    Canvas.setPen(Qt::black);
    int X = 0;
    Canvas.drawText(X, 3 + MS.ascent(), Open);
    X += MS.horizontalAdvance(Open);
    QFont Middle = Small;
    Middle.setPointSize(10);
    Canvas.setFont(Middle);
    Canvas.setPen(Qt::blue);
    Canvas.drawText(X, 2 + QFontMetrics(Middle).ascent(), "B");
    X += QFontMetrics(Middle).horizontalAdvance("B");
    Canvas.setFont(Small);
    Canvas.setPen(Qt::black);
    Canvas.drawText(X, 3 + MS.ascent(), Close);
    return Glyph;
}

TEncloseDlg::TEncloseDlg(TEncloseHooks Hooks, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::WindowStaysOnTopHint), FHooks(std::move(Hooks))
{
    setObjectName("EncloseDlg");
    setWindowTitle("Enclose Text");
    setModal(false);
    auto* Top = new QVBoxLayout(this);
    Top->addWidget(new QLabel("Options", this));
    EncloseList = new QListWidget(this);
    EncloseList->setObjectName("EncloseList");
    // Three columns: the items flow top to bottom and wrap into the next column.
    EncloseList->setFlow(QListView::TopToBottom);
    EncloseList->setWrapping(true);
    EncloseList->setResizeMode(QListView::Adjust);
    EncloseList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EncloseList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const TEnclosePairItem& Item : EnclosePairs) {
        auto* I = new QListWidgetItem(AnsiToQString(Item.Caption), EncloseList);
        I->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        I->setCheckState(Qt::Unchecked);
    }
    // Cells as wide as the widest caption with its check box ("<blockquote>") and
    // four rows high, so the ten pairs stand whole in three columns.
    const QSize Cell(EncloseList->sizeHintForColumn(0) + 12,
                     std::max(EncloseList->sizeHintForRow(0), EncloseList->fontMetrics().height()) + 4);
    EncloseList->setGridSize(Cell);
    const int Frame = 2 * EncloseList->frameWidth();
    EncloseList->setFixedHeight(EncloseListRows * Cell.height() + Frame + 2);
    EncloseList->setMinimumWidth(EncloseListColumns * Cell.width() + Frame + 2);
    Top->addWidget(EncloseList);

    auto* Shows = new QGridLayout;
    Shows->addWidget(new QLabel("Before String", this), 0, 0);
    Shows->addWidget(new QLabel("After String", this), 0, 1);
    BeforeDis = new QLineEdit(this);
    AfterDis = new QLineEdit(this);
    for (QLineEdit* E : {BeforeDis, AfterDis}) {
        E->setReadOnly(true);
        E->setBackgroundRole(QPalette::Button);
    }
    Shows->addWidget(BeforeDis, 1, 0);
    Shows->addWidget(AfterDis, 1, 1);
    Top->addLayout(Shows);

    auto* Group = new QGroupBox("Add Newline After", this);
    auto* GroupRow = new QHBoxLayout(Group);
    CRLFBeforeChk = new QCheckBox("Before String", Group);
    CRLFAfterChk = new QCheckBox("After String", Group);
    GroupRow->addWidget(CRLFBeforeChk);
    GroupRow->addWidget(CRLFAfterChk);
    Top->addWidget(Group);

    auto* Buttons = new QHBoxLayout;
    ApplyBtn = new QPushButton("Apply", this);
    ResetBtn = new QPushButton("Reset", this);
    CancelBtn = new QPushButton("Close", this);
    Buttons->addStretch();
    for (QPushButton* B : {ApplyBtn, ResetBtn, CancelBtn}) {
        B->setAutoDefault(false);
        Buttons->addWidget(B);
    }
    Top->addLayout(Buttons);

    connect(EncloseList, &QListWidget::itemChanged, this, [this] {
        if (!FBuilding)
            RebuildEnclosePair();
    });
    connect(ApplyBtn, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(ResetBtn, &QPushButton::clicked, this, [this] { ResetBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::close);

    // Item 0 ticked: the tool-bar button encloses in double quotes from the start.
    SetTicked(0, true);
}

void TEncloseDlg::SetTicked(int Item, bool On)
{
    if (QListWidgetItem* I = EncloseList->item(Item))
        I->setCheckState(On ? Qt::Checked : Qt::Unchecked);
}

bool TEncloseDlg::Ticked(int Item) const
{
    const QListWidgetItem* I = EncloseList->item(Item);
    return I && I->checkState() == Qt::Checked;
}

void TEncloseDlg::RebuildEnclosePair()
{
    std::array<bool, EnclosePairCount> On{};
    for (int I = 0; I < EnclosePairCount; ++I)
        On[I] = Ticked(I);
    // The boxes and the glyph show the strings without the added line breaks.
    const TEnclosePair Shown = BuildEnclosePair(On);
    BeforeDis->setText(AnsiToQString(Shown.Before));
    AfterDis->setText(AnsiToQString(Shown.After));
    if (FHooks.SetEncloseGlyph)
        FHooks.SetEncloseGlyph(DrawEncloseGlyph(Shown.Before, Shown.After));
    CurrentEnclosePair() = BuildEnclosePair(On, CRLFBeforeChk->isChecked(), CRLFAfterChk->isChecked());
}

void TEncloseDlg::EncloseSelection()
{
    RebuildEnclosePair();
    TEditorEngine* Pane = FHooks.ActivePane ? FHooks.ActivePane() : nullptr;
    if (Pane) {
        const TToolWorking Working(Pane->HasMark() ? Pane->MarkedLength() : 0);
        WrapSelection(*Pane, CurrentEnclosePair().Before, CurrentEnclosePair().After);
    }
}

void TEncloseDlg::EnclosePairNow(const std::string& Open, const std::string& Close)
{
    TEditorEngine* Pane = FHooks.ActivePane ? FHooks.ActivePane() : nullptr;
    if (Pane) {
        const TToolWorking Working(Pane->HasMark() ? Pane->MarkedLength() : 0);
        WrapSelection(*Pane, Open, Close);
    }
}

void TEncloseDlg::ShowEncloseDlg()
{
    show();
    raise();
    activateWindow();
}

void TEncloseDlg::ResetBtnClick()
{
    FBuilding = true;
    for (int I = 0; I < EnclosePairCount; ++I)
        SetTicked(I, I == 0);
    FBuilding = false;
    RebuildEnclosePair();
}

void TEncloseDlg::ApplyBtnClick() { EncloseSelection(); }

}  // namespace narvo
