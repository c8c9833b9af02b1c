// The open and save file dialogs behind one small interface, so that the code
// asking for a file name is tested with scripted answers instead of a person at the
// screen. The real implementation shows a QFileDialog. Filters are given in the
// design's form, "All Files|*.*|Text Files|*.txt;*.doc|", and converted here.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace narvo {

struct TFileDialogOptions {
    std::string Title;
    std::string Filter;         // "Name|patterns|Name|patterns|..."
    std::string FileName;       // the name proposed ("*.*" proposes none)
    std::string InitialFolder;  // empty: the current folder
    bool OverwritePrompt = false;
    std::string DefaultExt;     // added to a typed name without one ("txt", no dot)
};

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;
    // The chosen file's full path (file-system bytes); nullopt when cancelled.
    virtual std::optional<std::string> OpenFileName(const TFileDialogOptions& Options) = 0;
    virtual std::optional<std::string> SaveFileName(const TFileDialogOptions& Options) = 0;
    // Several existing files chosen at once, in the dialog's order; empty when cancelled.
    virtual std::vector<std::string> OpenFileNames(const TFileDialogOptions& Options) = 0;
};

// The dialogs now in use: the QFileDialog implementation unless a test installed others.
TFileDialogs& FileDialogs();
// Installs Dialogs (nullptr restores the real ones); returns what was installed before.
TFileDialogs* SetFileDialogs(TFileDialogs* Dialogs);

// The toolkit's folder dialog, started in Start (the current folder when empty),
// also where Start's name is not UTF-8; the chosen folder's bytes, nullopt when
// cancelled.
std::optional<std::string> ChooseExistingFolder(QWidget* Parent, const std::string& Title, const std::string& Start);

// The design's filter as Qt's: "All Files (*);;Text Files (*.txt *.doc)".
std::string QtFileFilter(const std::string& Filter);

// Dialogs that answer from a script and record every request. With the script used
// up, a dialog answers as if cancelled.
class TScriptedFileDialogs : public TFileDialogs {
public:
    TScriptedFileDialogs();
    ~TScriptedFileDialogs() override;
    TScriptedFileDialogs(const TScriptedFileDialogs&) = delete;
    TScriptedFileDialogs& operator=(const TScriptedFileDialogs&) = delete;

    std::optional<std::string> OpenFileName(const TFileDialogOptions& Options) override;
    std::optional<std::string> SaveFileName(const TFileDialogOptions& Options) override;
    std::vector<std::string> OpenFileNames(const TFileDialogOptions& Options) override;

    std::deque<std::optional<std::string>> Answers;
    // The answers to OpenFileNames, asked for in Asked as well.
    std::deque<std::vector<std::string>> ListAnswers;
    std::vector<TFileDialogOptions> Asked;

private:
    std::optional<std::string> Next(const TFileDialogOptions& Options);
    TFileDialogs* FPrevious;
};

}  // namespace narvo
