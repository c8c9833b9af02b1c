// The arguments shared out between the toolkit and the program (see
// ProgramArguments.h). The toolkit removes what it takes by moving the remaining
// pointers down, so what it leaves is found again by pointer.
#include "platform/ProgramArguments.h"

#include "platform/posix/SafeFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace narvo {

TProgramArguments::TProgramArguments(int Argc, char** Argv, TExists Exists)
{
    if (!Exists)
        Exists = IsRegularFile;
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

}  // namespace narvo
