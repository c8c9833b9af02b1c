// The shell launcher: opening documents, folders and web addresses with the user's
// programs, and starting a terminal in a folder. Our own checks give the design's
// result codes (2 missing file, 3 missing folder, 31 no handler) before the desktop
// is asked. All calls go through a small backend, which tests replace by a fake.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <stdexcept>
#include <string>
#include <string_view>

namespace narvo {

// What the launcher needs of the desktop.
class TShellBackend {
public:
    virtual ~TShellBackend() = default;
    // Opens Url with the user's program for it; false when none could be started.
    virtual bool OpenUrl(const QUrl& Url) = 0;
    // Starts Program with Arguments in WorkingFolder, not waiting and never through a shell.
    virtual bool StartDetached(const QString& Program, const QStringList& Arguments, const QString& WorkingFolder) = 0;
};

// Installs Backend (not owned; nullptr restores the desktop's) and returns the previous one.
TShellBackend* SetShellBackend(TShellBackend* Backend);
TShellBackend& ShellBackend();

// Raised when the shell's result is 32 or less; the message is ShellExecuteErrorText.
class EShellError : public std::runtime_error {
public:
    EShellError(int Code, const std::string& Message) : std::runtime_error(Message), Code_(Code) {}
    int Code() const { return Code_; }

private:
    int Code_;
};

// The result of opening Document (a path or an address): above 32 on success,
// else 2 (missing file), 3 (missing folder) or 31 (no program to open it).
int ShellOpen(std::string_view Document);
// ShellOpen, raising EShellError for a result of 32 or less.
void OpenDocument(std::string_view Document);
// Shows the folder in the file manager; false when no file manager could be started.
bool ExploreFolder(std::string_view Folder);
// Starts the user's terminal ($TERMINAL, else x-terminal-emulator) in Folder; false
// when it could not be started.
bool OpenCommandPrompt(std::string_view Folder);
// Opens the web search and the dictionary for the text (percent-encoded).
void WebSearch(std::string_view Text);
void DictionaryLookup(std::string_view Word);

}  // namespace narvo
