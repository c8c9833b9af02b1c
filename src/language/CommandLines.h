// The 32 numbered command lines, the one shown in the command editor, and the
// state of a run: the single-step switch, the nesting depth, the repetition number
// and the guard that keeps a second run out while one is in progress (a run lets
// the message loop in every 20 commands). Moving between lines always stores the
// command editor's text into the line being left first.
//
// While `P` runs a called line, that line is current (the line-number field shows
// it) but the command editor still shows the caller's: storing and moving between
// lines then work on the line the command editor shows, so that nothing the user
// does meanwhile writes one line's text into another.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace narvo {

class TCommandHost;

class TCommandLineStore {
public:
    static constexpr int LineCount = 32;

    std::array<std::string, LineCount> Lines;
    std::int32_t Current = 0;
    // The lines and the current line as last read from or written to the settings
    // file: at exit only the lines changed since are written, so that another
    // window's lines stay.
    std::array<std::string, LineCount> LinesInFile;
    std::int32_t CurrentInFile = 0;
    // The line the command editor shows while a called line runs; -1 otherwise.
    std::int32_t EditorLine = -1;
    bool SingleStep = false;
    std::int32_t Depth = 0;
    std::int32_t Repetition = 0;
    bool Running = false;

    // The line the command editor shows: Current, or EditorLine during a call.
    std::int32_t ShownLine() const { return EditorLine >= 0 ? EditorLine : Current; }
    // Lines[ShownLine()] := the command editor's text.
    void StoreCmdLine(TCommandHost& Host);
    void AdvanceCmdLineIndex() { Shown() = Shown() >= LineCount - 1 ? 0 : Shown() + 1; }
    void RetreatCmdLineIndex() { Shown() = Shown() <= 0 ? LineCount - 1 : Shown() - 1; }
    void NextCmdLine(TCommandHost& Host);
    void PrevCmdLine(TCommandHost& Host);
    // Numbers outside 0..31 are ignored.
    void SelectCmdLine(TCommandHost& Host, int N);
    // Esc typed in a pane: the next line, emptied, begins with an Esc.
    void EscToCmdLine(TCommandHost& Host);

    // Line N becomes current for a call; the returned value gives it back.
    std::int32_t BeginCall(std::int32_t N);
    void EndCall(std::int32_t Saved);

private:
    std::int32_t& Shown() { return EditorLine >= 0 ? EditorLine : Current; }
    std::int32_t FCalls = 0;
};

// The store of the running program.
TCommandLineStore& CommandLines();

}  // namespace narvo
