// The arguments shared out between the toolkit and the program (see
// ProgramArguments.h), and the run's command line kept for showing. The toolkit
// removes what it takes by moving the remaining pointers down, so what it leaves is
// found again by pointer.
#include "platform/ProgramArguments.h"

#include "platform/posix/SafeFile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <optional>
#include <cstring>
#include <unordered_set>

namespace narvo {

TProgramArguments::TProgramArguments(int Argc, char** Argv, TExists Exists)
{
    if (!Exists)
        Exists = IsRegularFile;
    if (Argc > 0 && Argv[0])
        FProgram = Argv[0];
    for (int I = 1; I < Argc; ++I)
        FArgs.push_back(Argv[I]);
    FWithheld.assign(FArgs.size(), false);
    FToolkitArgv.push_back(Argc > 0 ? Argv[0] : nullptr);
    for (std::size_t I = 0; I < FArgs.size(); ++I) {
        if (FSeparator < 0 && std::strcmp(FArgs[I], "--") == 0)
            FSeparator = static_cast<int>(I);
        FWithheld[I] = FSeparator >= 0 || Exists(FArgs[I]);
        if (!FWithheld[I])
            FToolkitArgv.push_back(FArgs[I]);
    }
    FToolkitArgc = static_cast<int>(FToolkitArgv.size());
    FToolkitArgv.push_back(nullptr);
}

std::vector<std::string> TProgramArguments::Params() const
{
    const std::unordered_set<const char*> Left(FToolkitArgv.begin() + 1,
                                               FToolkitArgv.begin() + std::max(FToolkitArgc, 1));
    std::vector<std::string> Result;
    for (std::size_t I = 0; I < FArgs.size(); ++I) {
        if (static_cast<int>(I) == FSeparator)
            continue;
        if (FWithheld[I] || Left.count(FArgs[I]) != 0)
            Result.emplace_back(FArgs[I]);
    }
    return Result;
}

std::vector<std::string> TProgramArguments::Given() const
{
    std::vector<std::string> Result{FProgram};
    Result.insert(Result.end(), FArgs.begin(), FArgs.end());
    return Result;
}

std::vector<std::string> TProgramArguments::Own() const
{
    std::vector<std::string> Result{FProgram};
    for (std::string& P : Params())
        Result.push_back(std::move(P));
    return Result;
}

namespace {

std::optional<TCommandLine> GKept;

}  // namespace

void KeepCommandLine(const TProgramArguments& Args) { GKept = TCommandLine{Args.Given(), Args.Own()}; }

TCommandLine ProgramCommandLine()
{
    if (GKept)
        return *GKept;
    TCommandLine Result;
    for (const QString& A : QCoreApplication::arguments())
        Result.Given.push_back(QFile::encodeName(A).toStdString());
    Result.Own = Result.Given;
    return Result;
}

}  // namespace narvo
