// The command language's one integer `%` (CurrentValue) and the ten numeric
// registers B0 to B9, the expression evaluator behind `(`, the condition `[` and
// the register command `B`. Arithmetic is signed 32-bit and wraps; operands read
// the main pane (cursor column and offset, the characters around the cursor), wait
// for a key, or ask the spelling engine about the word at the cursor.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace narvo {

class TCommandContext;
class TXRegister;

// 0 at start, kept for the whole run of the program, never saved.
inline std::int32_t CurrentValue = 0;
inline std::array<std::int32_t, 10> NumericRegisters{};

// Parenthesised expressions and `~` nest at most this deep ("Too Deep").
constexpr int MaxExpressionDepth = 200;

// `(`: evaluates up to the closing `)` into CurrentValue; answers the position
// after the character that ended the expression. On an evaluation error (division
// by zero, MinInt / -1, a literal beyond 32 bits) the value is kept.
std::int64_t EvalExpressionCmd(TCommandContext& I, const std::string& Line, std::int64_t Pos);
// `[`: Pos when the value is not 0, else the position after the matching `]`.
std::int64_t ConditionalCmd(TCommandContext& I, const std::string& Line, std::int64_t Pos);
// `B` with the command character before it; answers the position after its
// argument (Pos itself when the line ends after the `B`).
std::int64_t BCmd(TCommandContext& I, char Prev, const std::string& Line, std::int64_t Pos);
// Bn := value, or value := Bn when Prev is `-`.
void SetNumericRegister(char Prev, int N);
// The first 80 characters of the text register.
std::string RegisterHeadText(const TXRegister& Register);
// The number written in Text (decimal, or hexadecimal after `$`); 0 when Text is
// not a number.
std::int32_t NumberOfText(const std::string& Text);

}  // namespace narvo
