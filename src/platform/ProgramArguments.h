// The program's arguments shared out between the toolkit and the program. The
// application object takes the options it knows out of argv ("-reverse", "-style x",
// "-title x" and more), so a file given by such a name never reached the program,
// and the toolkit acted on it instead. Here the name of an existing file and every
// argument after "--" are kept from the toolkit; the rest is offered to it, and what
// it leaves are the program's own parameters, in the order they were given.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace narvo {

class TProgramArguments {
public:
    // Whether Name is an existing file; the default asks the file system.
    using TExists = std::function<bool(const std::string& Name)>;

    TProgramArguments(int Argc, char** Argv, TExists Exists = {});
    TProgramArguments(const TProgramArguments&) = delete;
    TProgramArguments& operator=(const TProgramArguments&) = delete;

    // The argument count and vector to hand to the application object, which may
    // shorten them; they live as long as this object.
    int& ToolkitArgc() { return FToolkitArgc; }
    char** ToolkitArgv() { return FToolkitArgv.data(); }

    // The program's parameters (without its name and without the first "--"), once
    // the application object has taken its options.
    std::vector<std::string> Params() const;
    // Every argument as the program was started with them, its name first.
    std::vector<std::string> Given() const;
    // The program's own arguments: its name, then Params().
    std::vector<std::string> Own() const;

private:
    std::string FProgram;         // the program's name as started
    std::vector<char*> FArgs;     // the arguments after the program's name
    std::vector<bool> FWithheld;  // kept from the toolkit
    int FSeparator = -1;          // the index of the first "--", or -1
    std::vector<char*> FToolkitArgv;
    int FToolkitArgc = 0;
};

// The run's command line, for those who show it (File Details): the toolkit's own
// list of arguments lacks what was kept from it, the file named at start among them.
struct TCommandLine {
    std::vector<std::string> Given;  // as started, the program's name first
    std::vector<std::string> Own;    // the program's name, then its parameters
};
// Keeps Args' lists as the run's, once the application object has taken its options.
void KeepCommandLine(const TProgramArguments& Args);
// The kept lists; before KeepCommandLine (a program made without it), both are the
// application object's list.
TCommandLine ProgramCommandLine();

}  // namespace narvo
