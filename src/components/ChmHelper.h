// TCHMHelper: the program's help. The help is a folder of HTML pages ("help" in the
// program's folder) with a map file, "map.ini", that names the contents page, the
// page about using help, and the page of each context number and keyword:
//
//   [Pages]     Contents=contents.html   UsingHelp=usinghelp.html
//   [Contexts]  1=keys.html              12=dialogs.html#external
//   [Keywords]  command table=commands.html
//
// Keywords and section names match without case; a page may carry a "#anchor".
// Pages are shown in one help window of our own, above the window that asked (a
// modal dialog's help can be read and closed while the dialog waits). Requests arrive as the old help
// commands of the application (context, contents, key...) or through the direct
// calls below. Whatever cannot be shown (no folder, no map entry, a missing page)
// is explained in the help window itself: a request never fails silently and never
// stops the program. Help files in the older ".hlp" format are not supported.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QPushButton;

namespace narvo {

// The application's help commands (the numbers the old help interface used).
enum : std::uint16_t {
    HELP_CONTEXT = 1,
    HELP_QUIT = 2,
    HELP_CONTENTS = 3,
    HELP_HELPONHELP = 4,
    HELP_CONTEXTPOPUP = 8,
    HELP_FINDER = 11,
    HELP_KEY = 257,
};

// The map file of a help folder. Load reads it afresh; lookups answer the page
// entry as written ("keys.html#f1") or "" when there is none.
class THelpMap {
public:
    static constexpr const char* MapFileName = "map.ini";

    // False with Error set when the folder or its map file is missing.
    bool Load(const std::string& Folder, std::string& Error);
    std::string ContentsPage() const { return FContents; }
    std::string UsingHelpPage() const { return FUsingHelp; }
    std::string ContextPage(int ContextID) const;
    std::string KeywordPage(const std::string& Keyword) const;
    // Every keyword with its page, sorted without case: the index.
    const std::vector<std::pair<std::string, std::string>>& Keywords() const { return FKeywords; }
    // Every context number with its page, in file order.
    const std::vector<std::pair<int, std::string>>& Contexts() const { return FContexts; }

private:
    std::string FContents;
    std::string FUsingHelp;
    std::vector<std::pair<int, std::string>> FContexts;
    std::vector<std::pair<std::string, std::string>> FKeywords;
};

// The browser of the help window: a link to a local page that does not exist shows
// a message instead of an empty page.
class THelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    // True while the browser shows generated HTML (a message, the index) rather
    // than its source page; setHtml leaves the source as it was.
    bool Generated = false;

protected:
    void doSetSource(const QUrl& Name, QTextDocument::ResourceType Type) override;
};

// The one help window: a page browser with Contents, Index, Back, Forward, Close.
class THelpWindow : public QDialog {
public:
    explicit THelpWindow(QWidget* Parent = nullptr);

    THelpBrowser* Browser = nullptr;
    QPushButton* ContentsBtn = nullptr;
    QPushButton* IndexBtn = nullptr;
    QPushButton* BackBtn = nullptr;
    QPushButton* ForwardBtn = nullptr;

    // Shows a page file (with its anchor) / generated HTML; then raises the window.
    void ShowPage(const QUrl& Page);
    void ShowHtml(const QString& Html);
    // The page shown: a local file path ("" for a generated page) and the anchor.
    std::string CurrentFile() const;
    std::string CurrentAnchor() const;
    // The plain text of what is shown (messages and the index included).
    std::string ShownText() const;

    // The window the help stands over when no dialog asked for it.
    QPointer<QWidget> Owner;

private:
    // Shows the window above the window that asked for help (see the .cpp).
    void Present();
};

class TCHMHelper : public QObject {
public:
    // Becomes the application's help handler (HelpCommand, HelpContext below) until
    // destroyed. The help window is parented to Owner when it is a widget.
    explicit TCHMHelper(QObject* Owner = nullptr);
    // Closes the help window and stops handling the application's help.
    ~TCHMHelper() override;

    // The application's help file: a ".chm" name stands for the "help" folder beside
    // it, a folder is used as it is, empty means the program's folder's "help". A
    // ".hlp" name is refused with a message.
    std::string HelpFile;
    // The folder that HelpFile stands for ("" for a ".hlp" file).
    std::string HelpFolder() const;
    static bool IsChmFile(const std::string& FileName);

    // An application help command with its number; answers true (handled) and
    // clears CallHelp, as the handler always takes the request.
    bool ApplicationHelp(std::uint16_t Command, int Data, bool& CallHelp);

    // Each answers whether the wanted page is shown; on false the window explains
    // why (LastError holds the same text).
    bool ShowTableOfContents();
    // The index, generated from the map's keywords.
    bool ShowIndex();
    // The keyword's page; an unknown keyword shows the index with a note.
    bool ShowHelp(const std::string& Keyword);
    // A page by name: "/intro.html" and "intro.html" are one page; "" is the contents.
    bool DisplayTopic(const std::string& Topic);
    bool ShowContextHelp(int ContextID);
    bool HelpOnHelp();
    // Closes the help window (it stays for the next request).
    void CloseAll();

    // The help window, nullptr before the first request.
    THelpWindow* Window() const { return FWindow; }
    const std::string& LastError() const { return FLastError; }

private:
    bool LoadMap(THelpMap& Map);
    bool ShowEntry(const std::string& Entry);
    bool Fail(const std::string& Message);
    THelpWindow& EnsureWindow();

    QPointer<THelpWindow> FWindow;
    std::string FLastError;
};

// The application's help (the handler is the newest live TCHMHelper); each answers
// false when there is no handler or the page could not be shown.
TCHMHelper* ApplicationHelper();
bool HelpCommand(std::uint16_t Command, int Data);
bool HelpContext(int ContextID);
bool HelpKeyword(const std::string& Keyword);

// A dialog's help page: its Help button and F1, pressed on the dialog or on any of
// its controls, open the page of ContextID. F1 in a window that names no page keeps
// the meaning that window gives it (in the main window it recalls command lines).
void SetDialogHelp(QWidget* Dialog, QAbstractButton* HelpButton, int ContextID);
// The page F1 opens on Widget: the context its window names, 0 when it names none.
int DialogHelpContext(const QWidget* Widget);

}  // namespace narvo
