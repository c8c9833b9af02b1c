// Bytes to and from QString at the Qt boundary. Text inside the program is 8-bit
// bytes in Windows-1252 (ANSI) or code page 437 (OEM); Qt wants Unicode. File names
// are the file system's bytes and are shown through QFile::decodeName.
#pragma once

#include "shared/CodePage.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace narvo {

inline QString BytesToQString(TCodePage Page, std::string_view Bytes)
{
    // Written straight into the string: a text of many megabytes is made once.
    QString Text(static_cast<qsizetype>(Bytes.size()), Qt::Uninitialized);
    BytesToUtf16Units(Page, Bytes, reinterpret_cast<char16_t*>(Text.data()));
    return Text;
}

// A character without a byte becomes Replacement and sets *Lossy (when given).
inline std::string QStringToBytes(TCodePage Page, const QString& Text, bool* Lossy = nullptr, char Replacement = '?')
{
    return Utf16ToBytes(Page, std::u16string_view(reinterpret_cast<const char16_t*>(Text.utf16()), static_cast<std::size_t>(Text.size())),
                        Lossy, Replacement);
}

inline QString AnsiToQString(std::string_view Bytes) { return BytesToQString(TCodePage::Ansi, Bytes); }
inline QString OemToQString(std::string_view Bytes) { return BytesToQString(TCodePage::Oem, Bytes); }
inline std::string QStringToAnsi(const QString& Text, bool* Lossy = nullptr) { return QStringToBytes(TCodePage::Ansi, Text, Lossy); }
inline std::string QStringToOem(const QString& Text, bool* Lossy = nullptr) { return QStringToBytes(TCodePage::Oem, Text, Lossy); }

// File names: bytes as the file system has them, shown as the locale decodes them.
inline QString FileNameToQString(std::string_view Name)
{
    return QFile::decodeName(QByteArray(Name.data(), static_cast<qsizetype>(Name.size())));
}
inline std::string QStringToFileName(const QString& Name)
{
    const QByteArray Bytes = QFile::encodeName(Name);
    return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

// True when a name comes back as the same bytes through its shown text (false for
// one that is not UTF-8, whose text holds U+FFFD).
inline bool NameSurvivesText(const std::string& Name) { return QStringToFileName(FileNameToQString(Name)) == Name; }

// The bytes of a name after the user edited its shown text: the parts the user left
// alone keep the bytes they had, also where they are not text in the locale's code
// (a Latin-1 name under UTF-8 shows U+FFFD, which would otherwise come back as other
// bytes); only the edited middle is encoded anew. An unchanged text gives OldName.
std::string EditedFileName(std::string_view OldName, const QString& NewText);

inline std::string QByteArrayToString(const QByteArray& Bytes)
{
    return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}
inline QByteArray StringToQByteArray(std::string_view Bytes)
{
    return QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
}

}  // namespace narvo
