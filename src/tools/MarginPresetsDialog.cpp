// The "Margins" dialog (see MarginPresetsDialog.h).
#include "tools/MarginPresetsDialog.h"

#include "components/ChmHelper.h"
#include "components/IntSpin.h"
#include "platform/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace narvo {

namespace {

constexpr int MarginsHelpContext = 9;
constexpr std::int32_t MaxColumn = 32767;

// The columns of the grid after the fixed one: fallback and accepted range.
struct TMarginColumn {
    std::int32_t Fallback;
    std::int32_t Min;
    std::int32_t Max;
};
constexpr TMarginColumn Columns[3] = {{0, 0, MaxColumn}, {72, 1, MaxColumn}, {0, -MaxColumn, MaxColumn}};

QTableWidgetItem* FixedItem(const QString& Text)
{
    auto* Item = new QTableWidgetItem(Text);
    Item->setFlags(Qt::ItemIsEnabled);
    Item->setBackground(QColor(0xC0, 0xC0, 0xC0));
    return Item;
}

}  // namespace

std::int32_t ReadMarginCell(const std::string& Text, std::int32_t Fallback, std::int32_t Min, std::int32_t Max)
{
    std::string T = Text;
    while (!T.empty() && T.back() == ' ')
        T.pop_back();
    // Hexadecimal "$" numbers are not margins.
    if (T.find('$') != std::string::npos)
        return Fallback;
    const std::optional<std::int64_t> V = TIntegerSpin::ParseInt64(T);
    if (!V || *V < Min || *V > Max)
        return Fallback;
    return static_cast<std::int32_t>(*V);
}

TMarginsDlg::TMarginsDlg(TMarginsHooks Hooks, QWidget* Parent) : QDialog(Parent), FHooks(std::move(Hooks))
{
    setWindowTitle(QStringLiteral("Margins"));
    setModal(true);
    MarginGrid = new QTableWidget(5, 4, this);
    MarginGrid->horizontalHeader()->hide();
    MarginGrid->verticalHeader()->hide();
    MarginGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MarginGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MarginGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab goes on to the buttons; arrows move between the cells.
    MarginGrid->setTabKeyNavigation(false);
    const char* const Headers[4] = {"#", "Left", "Right", "Indent"};
    for (int C = 0; C < 4; ++C)
        MarginGrid->setItem(0, C, FixedItem(QString::fromLatin1(Headers[C])));
    for (int R = 1; R <= 4; ++R)
        MarginGrid->setItem(R, 0, FixedItem(QString::number(R)));
    MarginGrid->setColumnWidth(0, 30);
    int W = MarginGrid->frameWidth() * 2 + 30, H = MarginGrid->frameWidth() * 2;
    for (int C = 1; C < 4; ++C)
        W += MarginGrid->columnWidth(C);
    for (int R = 0; R < 5; ++R)
        H += MarginGrid->rowHeight(R);
    MarginGrid->setFixedSize(W, H);

    auto* InsertBtn = new QPushButton(QStringLiteral("Insert Current Margins"), this);
    auto* ApplyBtn = new QPushButton(QStringLiteral("Apply"), this);
    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
                                         this);
    auto* Row = new QHBoxLayout;
    Row->addWidget(InsertBtn);
    Row->addWidget(ApplyBtn);
    auto* L = new QVBoxLayout(this);
    L->addWidget(MarginGrid);
    L->addLayout(Row);
    L->addWidget(Buttons);
    connect(InsertBtn, &QPushButton::clicked, this, [this] { InsertBtnClick(); });
    connect(ApplyBtn, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetDialogHelp(this, Buttons->button(QDialogButtonBox::Help), MarginsHelpContext);
    MarginGrid->setCurrentCell(1, 1);
}

int TMarginsDlg::CurrentRow() const
{
    const int R = MarginGrid->currentRow();
    return R >= 1 && R <= 4 ? R : 1;
}

void TMarginsDlg::FillMarginGrid()
{
    const TMarginPresetTable P = FHooks.ReadPresets ? FHooks.ReadPresets() : TMarginPresetTable{};
    for (int R = 1; R <= 4; ++R) {
        const TMarginValues& V = P[static_cast<std::size_t>(R - 1)];
        const std::int32_t Cells[3] = {V.Left, V.Right, V.Indent};
        for (int C = 1; C <= 3; ++C)
            MarginGrid->setItem(R, C, new QTableWidgetItem(QString::number(Cells[C - 1])));
    }
}

bool TMarginsDlg::ReadMarginGrid()
{
    TMarginPresetTable P;
    for (int R = 1; R <= 4; ++R) {
        std::int32_t V[3];
        for (int C = 1; C <= 3; ++C) {
            const QTableWidgetItem* Item = MarginGrid->item(R, C);
            const TMarginColumn& Col = Columns[C - 1];
            V[C - 1] = ReadMarginCell(Item ? Item->text().toStdString() : std::string(), Col.Fallback, Col.Min, Col.Max);
        }
        if (V[1] <= V[0]) {
            MarginGrid->setCurrentCell(R, 2);
            MessageDlg("The right margin of preset " + std::to_string(R) + " must lie right of its left margin.",
                       mtError, mbOK);
            return false;
        }
        P[static_cast<std::size_t>(R - 1)] = {V[0], V[1], V[2]};
    }
    if (FHooks.WritePresets)
        FHooks.WritePresets(P);
    return true;
}

void TMarginsDlg::InsertBtnClick()
{
    const TMarginValues V = FHooks.CurrentMargins ? FHooks.CurrentMargins() : TMarginValues{};
    const int R = CurrentRow();
    const std::int32_t Cells[3] = {V.Left, V.Right, V.Indent};
    for (int C = 1; C <= 3; ++C)
        MarginGrid->setItem(R, C, new QTableWidgetItem(QString::number(Cells[C - 1])));
}

void TMarginsDlg::ApplyBtnClick()
{
    if (!ReadMarginGrid())
        return;
    const TMarginPresetTable P = FHooks.ReadPresets ? FHooks.ReadPresets() : TMarginPresetTable{};
    if (FHooks.SetCurrentMargins)
        FHooks.SetCurrentMargins(P[static_cast<std::size_t>(CurrentRow() - 1)]);
}

void TMarginsDlg::accept()
{
    if (ReadMarginGrid())
        QDialog::accept();
}

bool TMarginsDlg::ShowMarginsDlg()
{
    FillMarginGrid();
    MarginGrid->setCurrentCell(1, 1);
    return exec() == QDialog::Accepted;
}

}  // namespace narvo
