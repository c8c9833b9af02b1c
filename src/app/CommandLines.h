// The 32 numbered command lines, the one shown in the command editor, and the
// state of a run: the single-step switch, the nesting depth, the repetition number
// and the guard that keeps a second run out while one is in progress (a run lets
// the message loop in every 20 commands). Moving between lines always stores the
// command editor's text into the line being left first.
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
    bool SingleStep = false;
    std::int32_t Depth = 0;
    std::int32_t Repetition = 0;
    bool Running = false;

    // Lines[Current] := the command editor's text.
    void StoreCmdLine(TCommandHost& Host);
    void AdvanceCmdLineIndex() { Current = Current >= LineCount - 1 ? 0 : Current + 1; }
    void RetreatCmdLineIndex() { Current = Current <= 0 ? LineCount - 1 : Current - 1; }
    void NextCmdLine(TCommandHost& Host);
    void PrevCmdLine(TCommandHost& Host);
    // Numbers outside 0..31 are ignored.
    void SelectCmdLine(TCommandHost& Host, int N);
    // Esc typed in a pane: the next line, emptied, begins with an Esc.
    void EscToCmdLine(TCommandHost& Host);
};

// The store of the running program.
TCommandLineStore& CommandLines();

}  // namespace narvo
