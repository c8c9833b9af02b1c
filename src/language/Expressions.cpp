// The expression evaluator and the register commands (see Expressions.h). The
// reader keeps the position of the next character and the current character; past
// the line's end it reports "expr?" and reads `)`, which closes every open level.
#include "language/Expressions.h"

#include "language/CommandContext.h"
#include "language/TextRegister.h"
#include "shared/CharClass.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace narvo {

namespace {

// An evaluation that cannot give a value; reported with its message.
struct TEvalError {
    const char* Message;
};

std::int32_t Wrap(std::int64_t V) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(V)); }

int HexValue(unsigned char C) { return IsDigit(C) ? C - '0' : UpCaseChar(C) - 'A' + 10; }

class TExpressionReader {
public:
    TExpressionReader(TCommandContext& AI, const std::string& ALine, std::int64_t APos)
        : Pos(APos), I(AI), Line(ALine)
    {
    }

    std::int64_t Pos;
    unsigned char Ch = 0;
    // The parentheses opened and not yet closed, the command's own included.
    int OpenParentheses = 1;

    void NextExprChar()
    {
        if (Pos >= 1 && Pos <= static_cast<std::int64_t>(Line.size())) {
            Ch = static_cast<unsigned char>(Line[static_cast<std::size_t>(Pos - 1)]);
            ++Pos;
        } else {
            TCommandContext::Fail("expr?");
            Ch = ')';
        }
    }
    void NextNonBlank()
    {
        do
            NextExprChar();
        while (Ch == ' ');
    }
    void SkipBlanks()
    {
        while (Ch == ' ' || Ch == '\t')
            NextExprChar();
    }

    std::int32_t ParseExpression()
    {
        TDepth D(*this);
        SkipBlanks();
        std::int32_t V = ParseAnd();
        while (Ch == '!') {
            NextNonBlank();
            V |= ParseAnd();
        }
        return V;
    }

private:
    struct TDepth {
        TExpressionReader& R;
        explicit TDepth(TExpressionReader& AR) : R(AR)
        {
            if (++R.Depth > MaxExpressionDepth)
                throw TEvalError{"Too Deep"};
        }
        ~TDepth() { --R.Depth; }
    };

    std::int32_t ParseAnd()
    {
        std::int32_t V = ParseRelation();
        while (Ch == '&') {
            NextNonBlank();
            V &= ParseRelation();
        }
        return V;
    }

    std::int32_t ParseRelation()
    {
        if (Ch == '~') {
            TDepth D(*this);
            NextNonBlank();
            return ~ParseRelation();
        }
        const std::int32_t A = ParseSum();
        char Op = static_cast<char>(Ch);
        if (Op != '#' && Op != '<' && Op != '=' && Op != '>')
            return A;
        NextNonBlank();
        bool OrEqual = false;
        if ((Op == '<' || Op == '>') && Ch == '=') {
            OrEqual = true;
            NextNonBlank();
        }
        const std::int32_t B = ParseSum();
        switch (Op) {
        case '#':
            return A != B;
        case '=':
            return A == B;
        case '<':
            return OrEqual ? A <= B : A < B;
        default:
            return OrEqual ? A >= B : A > B;
        }
    }

    std::int32_t ParseSum()
    {
        std::int32_t V = ParseTerm();
        while (Ch == '+' || Ch == '-') {
            const bool Plus = Ch == '+';
            NextNonBlank();
            const std::int32_t W = ParseTerm();
            V = Wrap(Plus ? static_cast<std::int64_t>(V) + W : static_cast<std::int64_t>(V) - W);
        }
        return V;
    }

    std::int32_t ParseTerm()
    {
        std::int32_t V = ParseFactor();
        while (Ch == '*' || Ch == '/' || Ch == '\\') {
            const unsigned char Op = Ch;
            NextNonBlank();
            const std::int32_t W = ParseFactor();
            if (Op == '*') {
                V = Wrap(static_cast<std::int64_t>(V) * W);
            } else {
                // The one quotient that does not fit (MinInt / -1) fails as a zero
                // divisor does.
                if (W == 0 || (V == INT32_MIN && W == -1))
                    throw TEvalError{"div by 0"};
                V = Op == '/' ? V / W : V % W;
            }
        }
        return V;
    }

    std::int32_t ParseFactor()
    {
        while (Ch == '+')
            NextNonBlank();
        bool Negative = false;
        while (Ch == '-') {
            Negative = !Negative;
            NextNonBlank();
        }
        std::int32_t V = Operand();
        SkipBlanks();
        return Negative ? Wrap(-static_cast<std::int64_t>(V)) : V;
    }

    std::int32_t Operand();
    std::int32_t WaitForKeyValue();
    std::int32_t SpellCheckValue();

    TCommandContext& I;
    const std::string& Line;
    int Depth = 0;
};

std::int32_t TExpressionReader::Operand()
{
    TEditorEngine& M = I.Main();
    if (IsDigit(Ch)) {
        std::int64_t V = 0;
        while (IsDigit(Ch)) {
            V = V * 10 + (Ch - '0');
            if (V > INT32_MAX)
                throw TEvalError{"div by 0"};
            NextExprChar();
        }
        return static_cast<std::int32_t>(V);
    }
    const unsigned char Up = UpCaseChar(Ch);
    switch (Up) {
    case '$': {
        NextExprChar();
        if (!IsHexDigit(Ch)) {
            TCommandContext::Fail("hex?");
            return 0;
        }
        std::uint64_t V = 0;
        while (IsHexDigit(Ch)) {
            V = V * 16 + static_cast<std::uint64_t>(HexValue(Ch));
            if (V > UINT32_MAX)
                throw TEvalError{"div by 0"};
            NextExprChar();
        }
        return Wrap(static_cast<std::int64_t>(V));
    }
    case '%':
        NextExprChar();
        return CurrentValue;
    case '(': {
        NextExprChar();
        ++OpenParentheses;
        const std::int32_t V = ParseExpression();
        if (Ch != ')')
            TCommandContext::Fail("expr?");
        else
            NextExprChar();
        --OpenParentheses;
        return V;
    }
    case 'C':
        NextExprChar();
        return Wrap(M.DisplayColumn(M.Cursor->Pos(), true));
    case '.':
        NextExprChar();
        return Wrap(M.CursorOffset());
    case '@': {
        NextExprChar();
        char C = 0;
        if (!M.CharAfter(M.Cursor->Pos(), C)) {
            TCommandContext::Fail("end?");
            return 0;
        }
        return static_cast<unsigned char>(C);
    }
    case '_': {
        NextExprChar();
        char C = 0;
        if (!M.CharBefore(M.Cursor->Pos(), C)) {
            TCommandContext::Fail("start?");
            return 0;
        }
        return static_cast<unsigned char>(C);
    }
    case '^': {
        NextExprChar();
        const std::int32_t V = Ch;
        NextExprChar();
        return V;
    }
    case 'K': {
        const std::int32_t V = WaitForKeyValue();
        NextExprChar();
        return V;
    }
    case 'S': {
        const std::int32_t V = SpellCheckValue();
        NextExprChar();
        return V;
    }
    case 'Z':
        NextExprChar();
        return 1048576;
    default:
        // The operand counts as 0 and reading goes on after it.
        TCommandContext::Fail("syntax");
        if (Ch != ')')
            NextExprChar();
        return 0;
    }
}

std::int32_t TExpressionReader::WaitForKeyValue()
{
    TCommandHost& H = I.Host();
    const int Code = I.KeepingError([&] {
        ShowStatusMessage("Waiting", false);
        H.RepaintPane(I.Main());
        const int C = H.WaitForKey();
        ShowStatusMessage("ok", false);
        return C;
    });
    return Code & 0xFF;
}

std::int32_t TExpressionReader::SpellCheckValue()
{
    TEditorEngine& M = I.Main();
    TRect R;
    if (!I.Host().WordAtCursorBounds(M, R))
        return 0;
    M.ClearMark();
    M.SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
    const std::string Word = M.GetMarkedText();
    if (Word.empty())
        return 0;
    bool NoDictionary = false;
    const int Answer = I.Host().SpellCheck(Word, NoDictionary);
    if (NoDictionary) {
        TCommandContext::Fail("No Dictionary");
        return 0;
    }
    return Answer != 0 ? -1 : 0;
}

std::string Hex8(std::int32_t V)
{
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%08X", static_cast<unsigned>(static_cast<std::uint32_t>(V)));
    return Buf;
}

}  // namespace

std::int64_t EvalExpressionCmd(TCommandContext& I, const std::string& Line, std::int64_t Pos)
{
    TExpressionReader R(I, Line, Pos);
    try {
        R.NextExprChar();
        const std::int32_t V = R.ParseExpression();
        CurrentValue = V;
        if (R.Ch != ')')
            TCommandContext::Fail("expr?");
    } catch (const TEvalError& E) {
        TCommandContext::Fail(E.Message);
        // The rest of the expression is not read: continue after its closing `)`.
        // The scan starts at the character the reader stands on (not yet taken),
        // with the parentheses it has left open, so that it ends at the
        // expression's own `)` and never runs past an enclosing loop's `}`.
        const auto Size = static_cast<std::int64_t>(Line.size());
        std::int64_t P = R.Pos - 1;
        if (P >= 1 && P <= Size) {
            int Depth = R.OpenParentheses;
            for (; P <= Size; ++P) {
                const char C = Line[static_cast<std::size_t>(P - 1)];
                if (C == '(')
                    ++Depth;
                else if (C == ')' && --Depth == 0)
                    break;
            }
            R.Pos = std::min(P + 1, Size + 1);
        }
    }
    return R.Pos;
}

std::int64_t ConditionalCmd(TCommandContext&, const std::string& Line, std::int64_t Pos)
{
    if (CurrentValue != 0)
        return Pos;
    int Depth = 1;
    for (std::int64_t P = std::max<std::int64_t>(Pos, 1); P <= static_cast<std::int64_t>(Line.size()); ++P) {
        const char C = Line[static_cast<std::size_t>(P - 1)];
        if (C == '[')
            ++Depth;
        else if (C == ']' && --Depth == 0)
            return P + 1;
    }
    // The line goes on after the `[`, where the failure's rule finds the end of
    // an enclosing loop, which then ends quietly.
    TCommandContext::Fail("missing ]");
    return Pos;
}

void SetNumericRegister(char Prev, int N)
{
    if (N < 0 || N > 9)
        return;
    auto& R = NumericRegisters[static_cast<std::size_t>(N)];
    if (Prev == '-')
        CurrentValue = R;
    else
        R = CurrentValue;
}

std::string RegisterHeadText(const TXRegister& Register) { return Register.HeadText(80); }

std::int32_t NumberOfText(const std::string& Text)
{
    std::size_t I = 0;
    while (I < Text.size() && Text[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < Text.size() && (Text[I] == '-' || Text[I] == '+'))
        Negative = Text[I++] == '-';
    const bool Hex = I < Text.size() && Text[I] == '$';
    if (Hex)
        ++I;
    if (I >= Text.size())
        return 0;
    std::int64_t V = 0;
    for (; I < Text.size(); ++I) {
        const auto C = static_cast<unsigned char>(Text[I]);
        if (!(Hex ? IsHexDigit(C) : IsDigit(C)))
            return 0;
        V = V * (Hex ? 16 : 10) + HexValue(C);
        if (V > (Hex ? std::int64_t{UINT32_MAX} : std::int64_t{INT32_MAX} + Negative))
            return 0;
    }
    return Wrap(Negative ? -V : V);
}

std::int64_t BCmd(TCommandContext& I, char Prev, const std::string& Line, std::int64_t Pos)
{
    if (Pos < 1 || Pos > static_cast<std::int64_t>(Line.size()))
        return Pos;
    const auto Arg = UpCaseChar(static_cast<unsigned char>(Line[static_cast<std::size_t>(Pos - 1)]));
    TEditorEngine& M = I.Main();
    if (IsDigit(Arg)) {
        SetNumericRegister(Prev, Arg - '0');
    } else {
        switch (Arg) {
        case 'A':
            M.TypeChar(static_cast<char>(CurrentValue & 0xFF));
            break;
        case 'D':
            M.InsertText(std::to_string(CurrentValue));
            break;
        case 'H':
            M.InsertText(Hex8(CurrentValue));
            break;
        case 'N':
            I.Host().ShowInfo(std::to_string(CurrentValue));
            break;
        case 'S':
            I.Host().ShowInfo(Hex8(CurrentValue));
            break;
        case 'T':
        case 'X':
            CurrentValue = NumberOfText(RegisterHeadText(I.Register()));
            break;
        default:
            break;
        }
    }
    return Pos + 1;
}

}  // namespace narvo
