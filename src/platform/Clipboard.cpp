// The clipboard adapter and the format registry (see Clipboard.h).
#include "platform/Clipboard.h"

#include "platform/TextConvert.h"
#include "shared/CharClass.h"
#include "shared/ClipboardFormatNames.h"
#include "shared/HtmlClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <map>
#include <mutex>

namespace narvo {

namespace {

struct TFormatRegistry {
    std::mutex Mutex;
    std::vector<std::string> Names;           // number - FirstRegisteredClipboardFormat -> name
    std::map<std::string, int> NumberByName;  // lower-case name -> number
};

TFormatRegistry& Registry()
{
    static TFormatRegistry R;
    return R;
}

std::string LowerName(std::string_view Name)
{
    std::string Result(Name);
    for (char& C : Result)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    return Result;
}

// Each CR LF and lone CR stays; each lone LF becomes CR LF.
std::string LoneLfToCrLf(std::string Text)
{
    std::string Result;
    Result.reserve(Text.size() + Text.size() / 16);
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\n' && (I == 0 || Text[I - 1] != '\r'))
            Result += '\r';
        Result += Text[I];
    }
    return Result;
}

QClipboard* Board() { return QGuiApplication::clipboard(); }

std::string PrivateBytes(const QMimeData* Data, const char* MimeType)
{
    return QByteArrayToString(Data->data(QString::fromLatin1(MimeType)));
}

// The format number under which a MIME type is listed.
int FormatOfMimeType(const QString& MimeType)
{
    if (MimeType == QLatin1String(TextMimeType))
        return CF_TEXT;
    if (MimeType == QLatin1String(OemTextMimeType))
        return CF_OEMTEXT;
    if (MimeType == QLatin1String("text/plain"))
        return CF_UNICODETEXT;
    if (MimeType == QLatin1String(HtmlFormatMimeType))
        return RegisterClipboardFormat(HtmlFormatName);
    return RegisterClipboardFormat(MimeType.toStdString());
}

// The targets an X11 selection owner answers about the selection itself (its list
// of targets, its time, several at once, side effects); Qt passes their names on
// as if they were data types.
bool IsSelectionMetaTarget(const QString& MimeType)
{
    static const char* const Meta[] = {"TARGETS",          "MULTIPLE",         "TIMESTAMP", "SAVE_TARGETS", "DELETE",
                                       "INSERT_SELECTION", "INSERT_PROPERTY", "LENGTH"};
    for (const char* M : Meta)
        if (MimeType == QLatin1String(M))
            return true;
    return false;
}

QString MimeTypeOfFormat(int Format)
{
    switch (Format) {
    case CF_TEXT: return QString::fromLatin1(TextMimeType);
    case CF_OEMTEXT: return QString::fromLatin1(OemTextMimeType);
    case CF_UNICODETEXT: return QStringLiteral("text/plain");
    default: break;
    }
    const std::string Name = RegisteredClipboardFormatName(Format);
    if (Name.empty())
        return {};
    if (LowerName(Name) == LowerName(HtmlFormatName))
        return QString::fromLatin1(HtmlFormatMimeType);
    return QString::fromStdString(Name);
}

}  // namespace

void CopyTextToClipboard(std::string_view Text)
{
    auto* Data = new QMimeData;
    Data->setText(AnsiToQString(Text));
    Data->setData(QString::fromLatin1(TextMimeType), StringToQByteArray(Text));
    Data->setData(QString::fromLatin1(OemTextMimeType), StringToQByteArray(Text));
    Board()->setMimeData(Data);  // the clipboard owns Data
}

std::string GetClipboardText()
{
    const QMimeData* Data = Board()->mimeData();
    if (!Data)
        return {};
    if (Data->hasFormat(QString::fromLatin1(TextMimeType)))
        return PrivateBytes(Data, TextMimeType);
    if (!Data->hasText())
        return {};
    return LoneLfToCrLf(QStringToAnsi(Data->text()));
}

std::string GetClipboardOemText()
{
    const QMimeData* Data = Board()->mimeData();
    if (!Data)
        return {};
    if (Data->hasFormat(QString::fromLatin1(OemTextMimeType)))
        return PrivateBytes(Data, OemTextMimeType);
    if (!Data->hasText())
        return {};
    return LoneLfToCrLf(QStringToOem(Data->text()));
}

void CopyHtmlToClipboard(std::string_view Html, std::string_view Text)
{
    auto* Data = new QMimeData;
    RegisterClipboardFormat(HtmlFormatName);
    // The block as other programs' CF_HTML readers expect it, with its zero byte;
    // never empty, as its header and frame are there for an empty fragment too.
    std::string Block = MakeHtmlFormatData(Html);
    Block.push_back('\0');
    Data->setData(QString::fromLatin1(HtmlFormatMimeType), StringToQByteArray(Block));
    // Gone before the other formats are made: a copy of many megabytes holds each
    // of them at once.
    std::string().swap(Block);
    // An empty text/html would be pasted instead of the plain text.
    if (!Html.empty())
        Data->setHtml(AnsiToQString(Html));
    if (!Text.empty()) {
        Data->setText(AnsiToQString(Text));
        Data->setData(QString::fromLatin1(TextMimeType), StringToQByteArray(Text));
    }
    Board()->setMimeData(Data);
}

bool ClipboardHasText()
{
    const QMimeData* Data = Board()->mimeData();
    return Data && (Data->hasText() || Data->hasFormat(QString::fromLatin1(TextMimeType)) ||
                    Data->hasFormat(QString::fromLatin1(OemTextMimeType)));
}

int RegisterClipboardFormat(std::string_view Name)
{
    TFormatRegistry& R = Registry();
    std::lock_guard Lock(R.Mutex);
    const std::string Key = LowerName(Name);
    if (const auto It = R.NumberByName.find(Key); It != R.NumberByName.end())
        return It->second;
    const int Number = FirstRegisteredClipboardFormat + static_cast<int>(R.Names.size());
    R.Names.emplace_back(Name);
    R.NumberByName.emplace(Key, Number);
    return Number;
}

std::string RegisteredClipboardFormatName(int Format)
{
    TFormatRegistry& R = Registry();
    std::lock_guard Lock(R.Mutex);
    const long long Index = static_cast<long long>(Format) - FirstRegisteredClipboardFormat;
    if (Index < 0 || Index >= static_cast<long long>(R.Names.size()))
        return {};
    // Names are reported with at most 255 characters, as the system reports them.
    return R.Names[static_cast<std::size_t>(Index)].substr(0, 255);
}

std::string ClipboardFormatName(int Format)
{
    bool Known = false;
    std::string Name = StandardClipboardFormatName(Format, Known);
    return Known ? Name : RegisteredClipboardFormatName(Format);
}

std::vector<TClipboardFormat> ClipboardFormats()
{
    std::vector<TClipboardFormat> Result;
    const QMimeData* Data = Board()->mimeData();
    if (!Data)
        return Result;
    bool HasText = false;
    for (const QString& MimeType : Data->formats()) {
        if (IsSelectionMetaTarget(MimeType))
            continue;
        TClipboardFormat F;
        F.Format = FormatOfMimeType(MimeType);
        F.MimeType = MimeType.toStdString();
        F.Name = ClipboardFormatName(F.Format);
        F.Size = Data->data(MimeType).size();
        HasText = HasText || F.Format == CF_TEXT;
        Result.push_back(std::move(F));
    }
    if (!HasText && Data->hasText()) {
        TClipboardFormat F;
        F.Format = CF_TEXT;
        F.MimeType = "text/plain";
        F.Name = ClipboardFormatName(CF_TEXT);
        F.Size = static_cast<long long>(GetClipboardText().size());
        Result.push_back(std::move(F));
    }
    return Result;
}

bool IsTextClipboardFormat(int Format)
{
    if (Format == CF_TEXT || Format == CF_OEMTEXT || Format == CF_UNICODETEXT)
        return true;
    const std::string Name = LowerName(RegisteredClipboardFormatName(Format));
    return Name == LowerName(HtmlFormatName) || Name.rfind("text/", 0) == 0;
}

std::string ClipboardFormatBytes(int Format)
{
    const QMimeData* Data = Board()->mimeData();
    const QString MimeType = MimeTypeOfFormat(Format);
    if (!Data || MimeType.isEmpty())
        return {};
    return QByteArrayToString(Data->data(MimeType));
}

}  // namespace narvo
