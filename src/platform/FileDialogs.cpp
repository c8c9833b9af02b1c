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

class TQtFileDialogs : public TFileDialogs {
public:
    std::optional<std::string> OpenFileName(const TFileDialogOptions& O) override { return Run(O, false); }
    std::optional<std::string> SaveFileName(const TFileDialogOptions& O) override { return Run(O, true); }
    std::vector<std::string> OpenFileNames(const TFileDialogOptions& O) override
    {
        std::vector<std::string> Names;
        QFileDialog Dialog(QApplication::activeWindow(), AnsiToQString(O.Title),
                           FileNameToQString(O.InitialFolder.empty() ? GetCurrentFolder() : O.InitialFolder),
                           AnsiToQString(QtFileFilter(O.Filter)));
        Dialog.setAcceptMode(QFileDialog::AcceptOpen);
        Dialog.setFileMode(QFileDialog::ExistingFiles);
        Dialog.setDefaultSuffix(AnsiToQString(O.DefaultExt));
        if (Dialog.exec() != QDialog::Accepted)
            return Names;
        for (const QString& F : Dialog.selectedFiles()) {
            if (!TakeChoice(F))
                return {};
            Names.push_back(QStringToFileName(F));
        }
        return Names;
    }

private:
    static std::optional<std::string> Run(const TFileDialogOptions& O, bool Save)
    {
        const std::string Folder = O.InitialFolder.empty() ? GetCurrentFolder() : O.InitialFolder;
        // "*.*" is the design's way of proposing no name. A name (or the folder it
        // lies in) the dialog cannot show as it is is not proposed either: the dialog
        // would propose, and answer, another file of a name that looks alike.
        bool Propose = !O.FileName.empty() && O.FileName.find('*') == std::string::npos;
        if (Propose && (!NameSurvivesText(O.FileName) || (O.FileName[0] != '/' && !NameSurvivesText(Folder)))) {
            Propose = false;
            const std::string Name = O.FileName[0] == '/' ? O.FileName : Folder + "/" + O.FileName;
            MessageDlg("The file dialog cannot show the name \"" + Name +
                           "\" as it is (it is not UTF-8), so it proposes no name.",
                       mtInformation, mbOK);
        }
        QFileDialog Dialog(QApplication::activeWindow(), AnsiToQString(O.Title), FileNameToQString(Folder),
                           AnsiToQString(QtFileFilter(O.Filter)));
        Dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        Dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!O.OverwritePrompt)
            Dialog.setOption(QFileDialog::DontConfirmOverwrite);
        Dialog.setDefaultSuffix(AnsiToQString(O.DefaultExt));
        if (Propose)
            Dialog.selectFile(FileNameToQString(O.FileName));
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString Chosen = Dialog.selectedFiles().front();
        if (!TakeChoice(Chosen))
            return std::nullopt;
        return QStringToFileName(Chosen);
    }

    // False, with the reason said, for a choice the dialog shows alike for two files
    // of its folder: it may have meant the one whose name is not UTF-8.
    static bool TakeChoice(const QString& Chosen)
    {
        if (!Chosen.contains(QChar::ReplacementCharacter) || !ShownLikeAnother(QStringToFileName(Chosen)))
            return true;
        MessageDlg("The file dialog shows more than one file as \"" + QStringToFileName(Chosen) +
                       "\" and cannot tell which was meant: no file was chosen.",
                   mtWarning, mbOK);
        return false;
    }
};

TFileDialogs* GInstalled = nullptr;

}  // namespace

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
