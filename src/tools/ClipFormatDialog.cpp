// The clipboard formats viewer (see ClipFormatDialog.h).
#include "tools/ClipFormatDialog.h"

#include "components/ClipListen.h"
#include "platform/Application.h"
#include "platform/TextConvert.h"
#include "shared/CodePage.h"
#include "tools/TextToolHooks.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace narvo {

std::string GetClipboardText(std::uint32_t Format)
{
    // Text (1) of another program exists only as its Unicode text: read it the way
    // a paste would.
    const std::string Bytes = Format == CF_TEXT ? narvo::GetClipboardText() : ClipboardFormatBytes(static_cast<int>(Format));
    if (Format == CF_UNICODETEXT)
        return Utf8ToBytes(TCodePage::Ansi, Bytes);
    return Bytes.substr(0, Bytes.find('\0'));
}

TClipFormatDlg::TClipFormatDlg(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle("Clipboard Data");
    auto* Top = new QVBoxLayout(this);
    auto* Splitter = new QSplitter(Qt::Horizontal, this);
    FormatGrid = new QTableWidget(MinGridRows - 1, 3);
    FormatGrid->setHorizontalHeaderLabels({"#", "Kind", "Description"});
    FormatGrid->verticalHeader()->hide();
    FormatGrid->verticalHeader()->setDefaultSectionSize(18);
    FormatGrid->setColumnWidth(0, 25);
    // Registered formats have five-digit numbers (from 49152).
    const int KindWidth = std::max(36, FormatGrid->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    FormatGrid->setColumnWidth(1, KindWidth);
    FormatGrid->setColumnWidth(2, 169);
    FormatGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FormatGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FormatGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the next control; arrows move between the cells.
    FormatGrid->setTabKeyNavigation(false);
    FormatGrid->setShowGrid(true);
    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Splitter->addWidget(FormatGrid);
    Splitter->addWidget(Memo1);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({25 + KindWidth + 169 + FormatGrid->verticalScrollBar()->sizeHint().width() + 4, 300});
    Top->addWidget(Splitter);
    auto* Buttons = new QHBoxLayout;
    PasteBtn = new QPushButton("Paste");
    CancelBtn = new QPushButton("Close");
    Buttons->addStretch();
    Buttons->addWidget(PasteBtn);
    Buttons->addWidget(CancelBtn);
    Top->addLayout(Buttons);
    resize(560, 380);

    connect(FormatGrid, &QTableWidget::currentCellChanged, this,
            [this](int Row, int, int, int) { ShowFormat(Row); });
    connect(PasteBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { PasteBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    ClipboardListener1 = new TClipboardListener(this);
    ClipboardListener1->OnClipboardChange = [this](QObject*) { ClipboardListener1ClipboardChange(); };
}

void TClipFormatDlg::RefreshFormats()
{
    FClipFormats.clear();
    for (const TClipboardFormat& F : ClipboardFormats())
        FClipFormats.push_back({static_cast<std::uint32_t>(F.Format), ClipboardFormatName(F.Format)});
    const int Count = static_cast<int>(FClipFormats.size());
    const QSignalBlocker Quiet(FormatGrid);
    FormatGrid->clearContents();
    FormatGrid->setRowCount(std::max(Count, MinGridRows - 1));
    for (int R = 0; R < FormatGrid->rowCount(); ++R) {
        FormatGrid->setItem(R, 0, new QTableWidgetItem(QString::number(R + 1)));
        if (R < Count) {
            const TFormatInfo& F = FClipFormats[static_cast<std::size_t>(R)];
            FormatGrid->setItem(R, 1, new QTableWidgetItem(QString::number(F.Format)));
            FormatGrid->setItem(R, 2, new QTableWidgetItem(AnsiToQString(F.Name)));
        }
    }
    // The view opens on the first format that holds text, where there is one.
    const auto Text = std::find_if(FClipFormats.begin(), FClipFormats.end(),
                                   [](const TFormatInfo& F) { return IsTextClipboardFormat(static_cast<int>(F.Format)); });
    const int First = Text == FClipFormats.end() ? 0 : static_cast<int>(Text - FClipFormats.begin());
    FormatGrid->setCurrentCell(First, 0);
    if (Count == 0)
        Memo1->clear();
    else
        ShowFormat(First);
}

void TClipFormatDlg::ShowFormat(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(FClipFormats.size()))
        return;
    Memo1->setPlainText(AnsiToQString(GetClipboardText(FClipFormats[static_cast<std::size_t>(Index)].Format)));
}

std::string TClipFormatDlg::ShownText() const { return QStringToAnsi(Memo1->toPlainText()); }

void TClipFormatDlg::PasteBtnClick()
{
    if (TToolHost* Host = ToolHost())
        Host->PasteText(ShownText());
}

void TClipFormatDlg::ClipboardListener1ClipboardChange()
{
    if (isVisible())
        RunGuarded([this] { RefreshFormats(); });
}

namespace {

QPointer<TClipFormatDlg> GClipFormatDlg;

}  // namespace

void CreateClipFormatDlg(QWidget* Parent)
{
    if (!GClipFormatDlg)
        GClipFormatDlg = new TClipFormatDlg(Parent);
}

void FreeClipFormatDlg() { delete GClipFormatDlg.data(); }

TClipFormatDlg* ClipFormatDlg() { return GClipFormatDlg; }

void ShowClipFormatDlg()
{
    if (!GClipFormatDlg)
        return;
    GClipFormatDlg->RefreshFormats();
    GClipFormatDlg->exec();
}

}  // namespace narvo
