// The file dialogs (see FileDialogs.h): QFileDialog for the program, scripted
// answers for the tests.
#include "platform/FileDialogs.h"

#include "platform/TextConvert.h"
#include "shared/FileFolder.h"

#include <QApplication>
#include <QFileDialog>

namespace narvo {

namespace {

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
        if (Dialog.exec() == QDialog::Accepted)
            for (const QString& F : Dialog.selectedFiles())
                Names.push_back(QStringToFileName(F));
        return Names;
    }

private:
    static std::optional<std::string> Run(const TFileDialogOptions& O, bool Save)
    {
        QFileDialog Dialog(QApplication::activeWindow(), AnsiToQString(O.Title),
                           FileNameToQString(O.InitialFolder.empty() ? GetCurrentFolder() : O.InitialFolder),
                           AnsiToQString(QtFileFilter(O.Filter)));
        Dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        Dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!O.OverwritePrompt)
            Dialog.setOption(QFileDialog::DontConfirmOverwrite);
        Dialog.setDefaultSuffix(AnsiToQString(O.DefaultExt));
        // "*.*" is the design's way of proposing no name.
        if (!O.FileName.empty() && O.FileName.find('*') == std::string::npos)
            Dialog.selectFile(FileNameToQString(O.FileName));
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return QStringToFileName(Dialog.selectedFiles().front());
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
