// The help bridge over our own help folder (see ChmHelper.h): the map file, the
// help window and the requests that reach it.
#include "components/ChmHelper.h"

#include "platform/ProgramFolder.h"
#include "platform/TextConvert.h"
#include "platform/posix/IniFile.h"

#include "platform/Application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

namespace narvo {

namespace {

TCHMHelper* GApplicationHelper = nullptr;

unsigned char LowerByte(unsigned char C) { return C >= 'A' && C <= 'Z' ? static_cast<unsigned char>(C + 32) : C; }

bool SameText(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (LowerByte(static_cast<unsigned char>(A[I])) != LowerByte(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

bool LessText(const std::string& A, const std::string& B)
{
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
        return LowerByte(static_cast<unsigned char>(X)) < LowerByte(static_cast<unsigned char>(Y));
    });
}

bool EndsWithText(const std::string& S, const std::string& Tail)
{
    return S.size() >= Tail.size() && SameText(S.substr(S.size() - Tail.size()), Tail);
}

std::string Trimmed(const std::string& S)
{
    const auto First = S.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    return S.substr(First, S.find_last_not_of(" \t") - First + 1);
}

bool IsFolder(const std::string& Path) { return !Path.empty() && QFileInfo(FileNameToQString(Path)).isDir(); }

// The window a help request belongs over. While a modal dialog runs, every window
// outside it is blocked: help shown over the main window could be neither read nor
// closed, and the Esc meant for it would cancel the dialog. So the help becomes a
// window of that dialog (not modal itself, the dialog stays usable). A modeless
// dialog of ours that asked keeps the help above it in the same way; the help
// window asking again keeps its place; anything else gets the help over Owner.
QWidget* HelpParentFor(QWidget* Owner, const QWidget& Help)
{
    if (QWidget* Modal = QApplication::activeModalWidget(); Modal && Modal != &Help)
        return Modal;
    QWidget* Active = QApplication::activeWindow();
    if (Active == &Help && Help.isVisible())
        return Help.parentWidget();
    if (Active && Active != &Help && Active != Owner && Active->isVisible() && qobject_cast<QDialog*>(Active))
        return Active;
    return Owner;
}

QString MessageHtml(const QString& Message)
{
    return QStringLiteral("<h3>Help</h3><p>%1</p>").arg(Message.toHtmlEscaped());
}

}  // namespace

// --- the map ---------------------------------------------------------------------------------

bool THelpMap::Load(const std::string& Folder, std::string& Error)
{
    *this = THelpMap();
    if (!IsFolder(Folder)) {
        Error = "The help folder \"" + Folder + "\" was not found.";
        return false;
    }
    const std::string MapFile = Folder + "/" + MapFileName;
    if (!QFileInfo(FileNameToQString(MapFile)).isFile()) {
        Error = "The help map \"" + MapFile + "\" was not found.";
        return false;
    }
    const TIniFile Ini(MapFile);
    FContents = Trimmed(Ini.ReadString("Pages", "Contents", ""));
    FUsingHelp = Trimmed(Ini.ReadString("Pages", "UsingHelp", ""));
    for (const std::string& Key : Ini.ReadSection("Contexts")) {
        int Number = 0;
        const auto [End, Ec] = std::from_chars(Key.data(), Key.data() + Key.size(), Number);
        // A key that is not a whole number is not a context; it is skipped.
        if (Ec == std::errc() && End == Key.data() + Key.size())
            FContexts.emplace_back(Number, Trimmed(Ini.ReadString("Contexts", Key, "")));
    }
    for (const std::string& Key : Ini.ReadSection("Keywords"))
        FKeywords.emplace_back(Key, Trimmed(Ini.ReadString("Keywords", Key, "")));
    std::stable_sort(FKeywords.begin(), FKeywords.end(), [](const auto& A, const auto& B) { return LessText(A.first, B.first); });
    Error.clear();
    return true;
}

std::string THelpMap::ContextPage(int ContextID) const
{
    for (const auto& [Number, Page] : FContexts)
        if (Number == ContextID)
            return Page;
    return {};
}

std::string THelpMap::KeywordPage(const std::string& Keyword) const
{
    const std::string Wanted = Trimmed(Keyword);
    for (const auto& [Key, Page] : FKeywords)
        if (SameText(Key, Wanted))
            return Page;
    return {};
}

// --- the window ------------------------------------------------------------------------------

void THelpBrowser::doSetSource(const QUrl& Name, QTextDocument::ResourceType Type)
{
    const QUrl Url = Name.isRelative() && source().isValid() ? source().resolved(Name) : Name;
    if (Url.isLocalFile() && !QFileInfo(Url.toLocalFile()).isFile()) {
        Generated = true;
        setHtml(MessageHtml(QStringLiteral("The help page \"%1\" was not found.").arg(Url.toLocalFile())));
        return;
    }
    Generated = false;
    QTextBrowser::doSetSource(Url, Type);
}

THelpWindow::THelpWindow(QWidget* Parent)
    : QDialog(Parent, Qt::Window), Owner(Parent)
{
    setWindowTitle(QStringLiteral("Narvo Help"));
    resize(720, 560);
    auto* Column = new QVBoxLayout(this);
    auto* Row = new QHBoxLayout;
    ContentsBtn = new QPushButton(QStringLiteral("&Contents"), this);
    IndexBtn = new QPushButton(QStringLiteral("&Index"), this);
    BackBtn = new QPushButton(QStringLiteral("&Back"), this);
    ForwardBtn = new QPushButton(QStringLiteral("&Forward"), this);
    auto* CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    // No button is the default: Enter while reading a page (or on a link, which the
    // page follows) must not jump to the contents.
    for (QPushButton* B : {ContentsBtn, IndexBtn, BackBtn, ForwardBtn, CloseBtn})
        B->setAutoDefault(false);
    for (QPushButton* B : {ContentsBtn, IndexBtn, BackBtn, ForwardBtn})
        Row->addWidget(B);
    Row->addStretch(1);
    Row->addWidget(CloseBtn);
    Column->addLayout(Row);
    Browser = new THelpBrowser(this);
    Browser->setOpenExternalLinks(true);
    Column->addWidget(Browser, 1);
    BackBtn->setEnabled(false);
    ForwardBtn->setEnabled(false);
    connect(BackBtn, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardBtn, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    connect(Browser, &QTextBrowser::backwardAvailable, BackBtn, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardBtn, &QPushButton::setEnabled);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::hide);
}

void THelpWindow::ShowPage(const QUrl& Page)
{
    Browser->setSource(Page);
    Present();
}

void THelpWindow::ShowHtml(const QString& Html)
{
    Browser->Generated = true;
    Browser->setHtml(Html);
    Present();
}

void THelpWindow::Present()
{
    QWidget* Over = HelpParentFor(Owner, *this);
    // A window kept above the others (the spelling dialog, the debugger) would
    // stay above its help too, which the window manager keeps in the normal layer;
    // and a window manager may put a modal dialog, when clicked, over every window
    // that belongs to it. So the help is kept above while it belongs to such a
    // window or to a modal dialog, and only then.
    Qt::WindowFlags Flags = windowFlags();
    Flags.setFlag(Qt::WindowStaysOnTopHint,
                  Over && (Over->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint) || Over->isModal()));
    // The window manager learns which window the help belongs to only from a window
    // of the dialog type: over a dialog the help is one, or clicking the dialog
    // brings the main window over the help. Over the main window it is an ordinary
    // window of its own.
    Flags = (Flags & ~Qt::WindowType_Mask) | (Over && Over != Owner.data() ? Qt::Dialog : Qt::Window);
    if (Over != parentWidget() || Flags != windowFlags()) {
        // A new parent hides the window and forgets where it stood: it is placed
        // afresh over the window that asked.
        setParent(Over, Flags);
        setAttribute(Qt::WA_Moved, false);
    }
    show();
    raise();
    activateWindow();
}

std::string THelpWindow::CurrentFile() const
{
    const QUrl Source = Browser->source();
    if (Browser->Generated || !Source.isLocalFile())
        return {};
    return QStringToFileName(Source.toLocalFile());
}

std::string THelpWindow::CurrentAnchor() const
{
    return CurrentFile().empty() ? std::string() : QStringToFileName(Browser->source().fragment());
}

std::string THelpWindow::ShownText() const { return QStringToAnsi(Browser->toPlainText()); }

// --- the bridge ------------------------------------------------------------------------------

TCHMHelper::TCHMHelper(QObject* Owner)
    : QObject(Owner)
{
    GApplicationHelper = this;
}

TCHMHelper::~TCHMHelper()
{
    if (GApplicationHelper == this)
        GApplicationHelper = nullptr;
    delete FWindow.data();
}

bool TCHMHelper::IsChmFile(const std::string& FileName) { return EndsWithText(FileName, ".chm"); }

std::string TCHMHelper::HelpFolder() const
{
    if (HelpFile.empty())
        return ProgramFolder() + "/help";
    if (EndsWithText(HelpFile, ".hlp"))
        return {};
    if (IsChmFile(HelpFile)) {
        const auto Slash = HelpFile.rfind('/');
        return (Slash == std::string::npos ? ProgramFolder() : HelpFile.substr(0, Slash)) + "/help";
    }
    return HelpFile;
}

THelpWindow& TCHMHelper::EnsureWindow()
{
    if (!FWindow) {
        FWindow = new THelpWindow(qobject_cast<QWidget*>(parent()));
        connect(FWindow->ContentsBtn, &QPushButton::clicked, this, [this] { ShowTableOfContents(); });
        connect(FWindow->IndexBtn, &QPushButton::clicked, this, [this] { ShowIndex(); });
    }
    return *FWindow;
}

bool TCHMHelper::Fail(const std::string& Message)
{
    FLastError = Message;
    EnsureWindow().ShowHtml(MessageHtml(FileNameToQString(Message)));
    return false;
}

bool TCHMHelper::LoadMap(THelpMap& Map)
{
    if (EndsWithText(HelpFile, ".hlp"))
        return Fail("Help files in the older \".hlp\" format are not supported: \"" + HelpFile + "\".");
    std::string Error;
    return Map.Load(HelpFolder(), Error) || Fail(Error);
}

bool TCHMHelper::ShowEntry(const std::string& Entry)
{
    if (EndsWithText(HelpFile, ".hlp"))
        return Fail("Help files in the older \".hlp\" format are not supported: \"" + HelpFile + "\".");
    const std::string Folder = HelpFolder();
    if (!IsFolder(Folder))
        return Fail("The help folder \"" + Folder + "\" was not found.");
    const auto Hash = Entry.find('#');
    std::string Page = Entry.substr(0, Hash);
    const std::string Anchor = Hash == std::string::npos ? std::string() : Entry.substr(Hash + 1);
    while (!Page.empty() && Page.front() == '/')
        Page.erase(0, 1);
    // Pages are files of the help folder itself: a name that climbs out of it is refused.
    const QString Root = QDir::cleanPath(FileNameToQString(Folder));
    const QString Path = QDir::cleanPath(Root + QLatin1Char('/') + FileNameToQString(Page));
    if (Page.empty() || !Path.startsWith(Root + QLatin1Char('/')))
        return Fail("The help page name \"" + Entry + "\" is not valid.");
    if (!QFileInfo(Path).isFile())
        return Fail("The help page \"" + Page + "\" was not found in the help folder \"" + Folder + "\".");
    QUrl Url = QUrl::fromLocalFile(Path);
    if (!Anchor.empty())
        Url.setFragment(FileNameToQString(Anchor));
    FLastError.clear();
    EnsureWindow().ShowPage(Url);
    return true;
}

bool TCHMHelper::ApplicationHelp(std::uint16_t Command, int Data, bool& CallHelp)
{
    CallHelp = false;
    switch (Command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP: ShowContextHelp(Data); break;
    case HELP_QUIT: CloseAll(); break;
    case HELP_HELPONHELP: HelpOnHelp(); break;
    case HELP_KEY: ShowIndex(); break;
    default: ShowTableOfContents(); break;  // contents, finder and the rest
    }
    return true;
}

bool TCHMHelper::ShowTableOfContents()
{
    THelpMap Map;
    if (!LoadMap(Map))
        return false;
    if (Map.ContentsPage().empty())
        return Fail("The help map names no contents page.");
    return ShowEntry(Map.ContentsPage());
}

namespace {

QString IndexHtml(const THelpMap& Map, const std::string& Folder, const std::string& Note)
{
    QString Html = QStringLiteral("<h2>Index</h2>");
    if (!Note.empty())
        Html += QStringLiteral("<p><i>%1</i></p>").arg(AnsiToQString(Note).toHtmlEscaped());
    Html += QStringLiteral("<ul>");
    for (const auto& [Keyword, Entry] : Map.Keywords()) {
        const auto Hash = Entry.find('#');
        QUrl Url = QUrl::fromLocalFile(FileNameToQString(Folder + "/" + Entry.substr(0, Hash)));
        if (Hash != std::string::npos)
            Url.setFragment(FileNameToQString(Entry.substr(Hash + 1)));
        Html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                    .arg(Url.toString(QUrl::FullyEncoded).toHtmlEscaped(), AnsiToQString(Keyword).toHtmlEscaped());
    }
    return Html + QStringLiteral("</ul>");
}

}  // namespace

bool TCHMHelper::ShowIndex()
{
    THelpMap Map;
    if (!LoadMap(Map))
        return false;
    FLastError.clear();
    EnsureWindow().ShowHtml(IndexHtml(Map, HelpFolder(), {}));
    return true;
}

bool TCHMHelper::ShowHelp(const std::string& Keyword)
{
    THelpMap Map;
    if (!LoadMap(Map))
        return false;
    if (Trimmed(Keyword).empty())
        return ShowIndex();
    const std::string Page = Map.KeywordPage(Keyword);
    if (!Page.empty())
        return ShowEntry(Page);
    // An unknown keyword opens the index, so the user can pick a neighbour.
    FLastError = "No help topic for \"" + Trimmed(Keyword) + "\".";
    EnsureWindow().ShowHtml(IndexHtml(Map, HelpFolder(), FLastError));
    return false;
}

bool TCHMHelper::DisplayTopic(const std::string& Topic)
{
    if (Topic.empty())
        return ShowTableOfContents();
    return ShowEntry(Topic);
}

bool TCHMHelper::ShowContextHelp(int ContextID)
{
    THelpMap Map;
    if (!LoadMap(Map))
        return false;
    const std::string Page = Map.ContextPage(ContextID);
    if (Page.empty())
        return Fail("No help topic for context number " + std::to_string(ContextID) + ".");
    return ShowEntry(Page);
}

bool TCHMHelper::HelpOnHelp()
{
    THelpMap Map;
    if (!LoadMap(Map))
        return false;
    return Map.UsingHelpPage().empty() ? ShowTableOfContents() : ShowEntry(Map.UsingHelpPage());
}

void TCHMHelper::CloseAll()
{
    FLastError.clear();
    if (FWindow)
        FWindow->hide();
}

// --- the application's help --------------------------------------------------------------------

TCHMHelper* ApplicationHelper() { return GApplicationHelper; }

bool HelpCommand(std::uint16_t Command, int Data)
{
    TCHMHelper* H = GApplicationHelper;
    if (!H)
        return false;
    bool CallHelp = true;
    H->ApplicationHelp(Command, Data, CallHelp);
    return H->LastError().empty();
}

bool HelpContext(int ContextID) { return HelpCommand(HELP_CONTEXT, ContextID); }

bool HelpKeyword(const std::string& Keyword)
{
    return GApplicationHelper && GApplicationHelper->ShowHelp(Keyword);
}

// --- F1 on a dialog ---------------------------------------------------------------------------

namespace {

constexpr const char* HelpContextProperty = "narvoHelpContext";

// Sees every key before the control with the focus: plain F1 on a window that names
// a help page opens it, whatever control of that window has the focus (an edit box,
// a list, a spin edit would otherwise take or refuse the key). Windows that name no
// page get F1 as before.
class TDialogHelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType())
            return QObject::eventFilter(Watched, Event);
        const auto* Key = static_cast<QKeyEvent*>(Event);
        if (Key->key() != Qt::Key_F1 || (Key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return QObject::eventFilter(Watched, Event);
        const int Context = DialogHelpContext(static_cast<QWidget*>(Watched));
        if (Context == 0)
            return QObject::eventFilter(Watched, Event);
        RunGuarded([Context] { HelpContext(Context); });
        return true;
    }
};

QPointer<TDialogHelpKey> GDialogHelpKey;

}  // namespace

void SetDialogHelp(QWidget* Dialog, QAbstractButton* HelpButton, int ContextID)
{
    Dialog->setProperty(HelpContextProperty, ContextID);
    if (HelpButton) {
        // The button asks the dialog, so that it and F1 cannot name different pages.
        QObject::connect(HelpButton, &QAbstractButton::clicked, Dialog, [Dialog] {
            RunGuarded([Dialog] { HelpContext(DialogHelpContext(Dialog)); });
        });
    }
    if (!GDialogHelpKey && qApp) {
        GDialogHelpKey = new TDialogHelpKey(qApp);
        qApp->installEventFilter(GDialogHelpKey);
    }
}

int DialogHelpContext(const QWidget* Widget)
{
    if (!Widget)
        return 0;
    bool Ok = false;
    const int Context = Widget->window()->property(HelpContextProperty).toInt(&Ok);
    return Ok ? Context : 0;
}

}  // namespace narvo
