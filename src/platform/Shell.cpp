// The shell launcher over QDesktopServices and QProcess (see Shell.h).
#include "platform/Shell.h"

#include "platform/TextConvert.h"
#include "shared/ShellText.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace narvo {

namespace {

class TDesktopBackend : public TShellBackend {
public:
    bool OpenUrl(const QUrl& Url) override { return QDesktopServices::openUrl(Url); }
    bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder) override
    {
        return QProcess::startDetached(Program, Arguments, WorkingFolder);
    }
};

TShellBackend* GBackend = nullptr;

constexpr int ShellSuccess = 42;  // any result above 32 means success
constexpr int ShellFileNotFound = 2;
constexpr int ShellPathNotFound = 3;
constexpr int ShellNoAssociation = 31;

// "scheme:" of two or more characters, so that a relative path never reads as one.
bool HasUrlScheme(const QString& Text)
{
    static const QRegularExpression Scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return Scheme.match(Text).hasMatch();
}

QUrl UrlOfBytes(std::string_view Url) { return QUrl::fromEncoded(StringToQByteArray(Url), QUrl::TolerantMode); }

}  // namespace

TShellBackend* SetShellBackend(TShellBackend* Backend)
{
    TShellBackend* Old = GBackend;
    GBackend = Backend;
    return Old;
}

TShellBackend& ShellBackend()
{
    static TDesktopBackend Desktop;
    return GBackend ? *GBackend : Desktop;
}

int ShellOpen(std::string_view Document)
{
    auto OpenLocal = [](const QString& Local) {
        return ShellBackend().OpenUrl(QUrl::fromLocalFile(QFileInfo(Local).absoluteFilePath())) ? ShellSuccess
                                                                                              : ShellNoAssociation;
    };
    QString Local = FileNameToQString(Document);
    // An existing file wins over an address look-alike such as "notes:v2".
    if (!Local.isEmpty() && QFileInfo::exists(Local))
        return OpenLocal(Local);
    // Addresses are text typed in the program: Windows-1252 bytes.
    const QString Text = AnsiToQString(Document);
    if (Text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        Local = QUrl(Text).toLocalFile();
    } else if (HasUrlScheme(Text) || Text.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
        const QUrl Url(HasUrlScheme(Text) ? Text : QStringLiteral("http://") + Text, QUrl::TolerantMode);
        return Url.isValid() && ShellBackend().OpenUrl(Url) ? ShellSuccess : ShellNoAssociation;
    }
    if (!Local.isEmpty() && QFileInfo::exists(Local))
        return OpenLocal(Local);
    return QFileInfo(QFileInfo(Local).absolutePath()).isDir() ? ShellFileNotFound : ShellPathNotFound;
}

void OpenDocument(std::string_view Document)
{
    const int Result = ShellOpen(Document);
    if (Result <= 32)
        throw EShellError(Result, ShellExecuteErrorText(Result));
}

bool ExploreFolder(std::string_view Folder)
{
    const QString Path = FileNameToQString(Folder);
    return ShellBackend().OpenUrl(QUrl::fromLocalFile(QFileInfo(Path).absoluteFilePath()));
}

bool OpenCommandPrompt(std::string_view Folder)
{
    // $TERMINAL may carry options ("kitty --single-instance"): split it into an
    // argument list, never hand it to a shell.
    QStringList Command = QProcess::splitCommand(qEnvironmentVariable("TERMINAL"));
    if (Command.isEmpty())
        Command = QStringList{QStringLiteral("x-terminal-emulator")};
    const QString Program = Command.takeFirst();
    QString Working = FileNameToQString(Folder);
    if (Working.isEmpty())
        Working = QDir::currentPath();
    return ShellBackend().StartDetached(Program, Command, Working);
}

void WebSearch(std::string_view Text) { ShellBackend().OpenUrl(UrlOfBytes(WebSearchUrl(Text))); }

void DictionaryLookup(std::string_view Word) { ShellBackend().OpenUrl(UrlOfBytes(DictionaryLookupUrl(Word))); }

}  // namespace narvo
