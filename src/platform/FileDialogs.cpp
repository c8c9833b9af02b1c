// The file dialogs (see FileDialogs.h): QFileDialog for the program, scripted
// answers for the tests.
#include "platform/FileDialogs.h"

#include "platform/MessageBoxes.h"
#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"
#include "shared/FileFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

namespace {

// Whether the folder of Path holds, beside Path's own name, a file the dialog shows
// under the same name: then a choice of that name may have meant the other one.
bool ShownLikeAnother(const std::string& Path)
{
    const std::string Base = Path.substr(Path.rfind('/') + 1);
    const QString Shown = FileNameToQString(Base);
    bool Found = false;
    if (DIR* D = ::opendir(FolderOfPath(Path).c_str())) {
        while (const dirent* E = ::readdir(D))
            if (!Found && E->d_name != Base && FileNameToQString(E->d_name) == Shown)
                Found = true;
        ::closedir(D);
    }
    return Found;
}

bool IsFolder(const std::string& Path)
{
    struct stat St {};
    return ::stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// The folder a dialog starts in, as the dialog can show it. A folder whose name is
// not UTF-8 shows as U+FFFD, a folder that does not exist: the dialog would open its
// parent and propose the folder's shown name as the file name. It is shown through
// the name the system gives an open handle of it ("/proc/self/fd/N", plain text),
// and a choice made in it is given back under the folder's own bytes. Where the
// system has no such names, the dialog starts in the nearest folder above that it
// can show, and proposes nothing of the one it cannot.
class TShownFolder {
public:
    explicit TShownFolder(const std::string& Folder) : FFolder(Folder)
    {
        // A relative folder ("." of the copy tool) is taken from the current folder's
        // own bytes: the dialog would take it from the current folder's shown name.
        if (FFolder.empty() || FFolder[0] != '/') {
            const std::string Current = GetCurrentFolder();
            FFolder = FFolder.empty() || FFolder == "." ? Current : Current + "/" + FFolder;
        }
        if (NameSurvivesText(FFolder)) {
            FFolder = Folder;
            return;
        }
        FFd = ::open(FFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const std::string Alias = "/proc/self/fd/" + std::to_string(FFd);
        if (FFd >= 0 && IsFolder(Alias)) {
            FAlias = Alias;
            return;
        }
        Close();
        while (!NameSurvivesText(FFolder) && FFolder != "/" && FFolder != ".")
            FFolder = FolderOfPath(FFolder);
    }
    ~TShownFolder() { Close(); }
    TShownFolder(const TShownFolder&) = delete;
    TShownFolder& operator=(const TShownFolder&) = delete;

    QString Text() const { return FAlias.empty() ? FileNameToQString(FFolder) : QString::fromLatin1(FAlias); }
    // Tells which folder the system's name stands for, beside it in the dialog.
    void Label(QFileDialog& Dialog) const
    {
        if (!FAlias.empty())
            Dialog.setLabelText(QFileDialog::LookIn,
                                QStringLiteral("Look in \"%1\" as:").arg(FileNameToQString(FFolder.substr(FFolder.rfind('/') + 1))));
    }
    // The bytes of a path the dialog gave back.
    std::string Bytes(const QString& Chosen) const
    {
        const std::string B = QStringToFileName(Chosen);
        if (!FAlias.empty() && (B == FAlias || B.rfind(FAlias + "/", 0) == 0))
            return FFolder + B.substr(FAlias.size());
        return B;
    }

private:
    void Close()
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }
    std::string FFolder;
    std::string FAlias;
    int FFd = -1;
};

class TQtFileDialogs : public TFileDialogs {
public:
    std::optional<std::string> OpenFileName(const TFileDialogOptions& O) override { return Run(O, false); }
    std::optional<std::string> SaveFileName(const TFileDialogOptions& O) override { return Run(O, true); }
    std::vector<std::string> OpenFileNames(const TFileDialogOptions& O) override
    {
        std::vector<std::string> Names;
        const TShownFolder Shown(O.InitialFolder.empty() ? GetCurrentFolder() : O.InitialFolder);
        QFileDialog Dialog(QApplication::activeWindow(), AnsiToQString(O.Title), Shown.Text(),
                           AnsiToQString(QtFileFilter(O.Filter)));
        Shown.Label(Dialog);
        Dialog.setAcceptMode(QFileDialog::AcceptOpen);
        Dialog.setFileMode(QFileDialog::ExistingFiles);
        Dialog.setDefaultSuffix(AnsiToQString(O.DefaultExt));
        if (Dialog.exec() != QDialog::Accepted)
            return Names;
        for (const QString& F : Dialog.selectedFiles()) {
            Names.push_back(Shown.Bytes(F));
            if (!TakeChoice(F, Names.back()))
                return {};
        }
        return Names;
    }

private:
    static std::optional<std::string> Run(const TFileDialogOptions& O, bool Save)
    {
        std::string Folder = O.InitialFolder.empty() ? GetCurrentFolder() : O.InitialFolder;
        // "*.*" is the design's way of proposing no name.
        std::string Name = O.FileName.find('*') == std::string::npos ? O.FileName : std::string();
        // A full name starts the dialog in its own folder.
        if (!Name.empty() && Name[0] == '/') {
            if (IsFolder(FolderOfPath(Name)))
                Folder = FolderOfPath(Name);
            Name.erase(0, Name.rfind('/') + 1);
        }
        // A name the dialog cannot show as it is is not proposed: the dialog would
        // propose, and answer, another file of a name that looks alike.
        bool Propose = !Name.empty();
        if (Propose && !NameSurvivesText(Name)) {
            Propose = false;
            MessageDlg("The file dialog cannot show the name \"" + Folder + "/" + Name +
                           "\" as it is (it is not UTF-8), so it proposes no name.",
                       mtInformation, mbOK);
        }
        const TShownFolder Shown(Folder);
        QFileDialog Dialog(QApplication::activeWindow(), AnsiToQString(O.Title), Shown.Text(),
                           AnsiToQString(QtFileFilter(O.Filter)));
        Shown.Label(Dialog);
        Dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        Dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!O.OverwritePrompt)
            Dialog.setOption(QFileDialog::DontConfirmOverwrite);
        Dialog.setDefaultSuffix(AnsiToQString(O.DefaultExt));
        if (Propose)
            Dialog.selectFile(FileNameToQString(Name));
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString Chosen = Dialog.selectedFiles().front();
        std::string Bytes = Shown.Bytes(Chosen);
        if (!TakeChoice(Chosen, Bytes))
            return std::nullopt;
        return Bytes;
    }

    // False, with the reason said, for a choice the dialog shows alike for two files
    // of its folder: it may have meant the one whose name is not UTF-8. Bytes: the
    // choice as a file name.
    static bool TakeChoice(const QString& Chosen, const std::string& Bytes)
    {
        if (!Chosen.contains(QChar::ReplacementCharacter) || !ShownLikeAnother(Bytes))
            return true;
        MessageDlg("The file dialog shows more than one file as \"" + Bytes +
                       "\" and cannot tell which was meant: no file was chosen.",
                   mtWarning, mbOK);
        return false;
    }
};

TFileDialogs* GInstalled = nullptr;

}  // namespace

std::optional<std::string> ChooseExistingFolder(QWidget* Parent, const std::string& Title, const std::string& Start)
{
    const TShownFolder Shown(Start.empty() ? GetCurrentFolder() : Start);
    QFileDialog Dialog(Parent, AnsiToQString(Title), Shown.Text());
    Shown.Label(Dialog);
    Dialog.setFileMode(QFileDialog::Directory);
    Dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Shown.Bytes(Dialog.selectedFiles().front());
}

TFileDialogs& FileDialogs()
{
    static TQtFileDialogs Real;
    return GInstalled ? *GInstalled : Real;
}

TFileDialogs* SetFileDialogs(TFileDialogs* Dialogs)
{
    TFileDialogs* Previous = GInstalled;
    GInstalled = Dialogs;
    return Previous;
}

std::string QtFileFilter(const std::string& Filter)
{
    std::vector<std::string> Parts;
    std::string Part;
    for (const char C : Filter) {
        if (C == '|') {
            Parts.push_back(Part);
            Part.clear();
        } else {
            Part += C;
        }
    }
    if (!Part.empty())
        Parts.push_back(Part);
    std::string Result;
    for (std::size_t I = 0; I + 1 < Parts.size(); I += 2) {
        std::string Patterns;
        std::string P;
        auto Flush = [&] {
            if (!P.empty()) {
                if (!Patterns.empty())
                    Patterns += ' ';
                Patterns += P == "*.*" ? std::string("*") : P;
            }
            P.clear();
        };
        for (const char C : Parts[I + 1]) {
            if (C == ';')
                Flush();
            else
                P += C;
        }
        Flush();
        if (!Result.empty())
            Result += ";;";
        Result += Parts[I];
        Result += " (";
        Result += Patterns;
        Result += ')';
    }
    return Result;
}

TScriptedFileDialogs::TScriptedFileDialogs() : FPrevious(SetFileDialogs(this)) {}

TScriptedFileDialogs::~TScriptedFileDialogs() { SetFileDialogs(FPrevious); }

std::optional<std::string> TScriptedFileDialogs::Next(const TFileDialogOptions& Options)
{
    Asked.push_back(Options);
    if (Answers.empty())
        return std::nullopt;
    auto R = Answers.front();
    Answers.pop_front();
    return R;
}

std::optional<std::string> TScriptedFileDialogs::OpenFileName(const TFileDialogOptions& Options) { return Next(Options); }
std::optional<std::string> TScriptedFileDialogs::SaveFileName(const TFileDialogOptions& Options) { return Next(Options); }

std::vector<std::string> TScriptedFileDialogs::OpenFileNames(const TFileDialogOptions& Options)
{
    Asked.push_back(Options);
    if (ListAnswers.empty())
        return {};
    std::vector<std::string> R = std::move(ListAnswers.front());
    ListAnswers.pop_front();
    return R;
}

}  // namespace narvo
