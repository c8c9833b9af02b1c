// The context of the command routines (see CommandContext.h).
#include "language/CommandContext.h"

#include "language/AppState.h"
#include "shared/CharClass.h"

#include <algorithm>
#include <climits>

namespace narvo {

constexpr char Esc = CommandEsc;

void TCommandContext::Fail(const std::string& Message) { SetStatusMessage(Message, true); }

bool TCommandContext::ErrorPending() { return StatusMessageIsError(); }

bool TCommandContext::Stopped() const { return BreakFlag || FTooDeep || FTooLarge; }

std::int32_t TCommandContext::ReadCmdNumber(const std::string& Line, std::int64_t& Pos)
{
    while (CharAtPos(Line, Pos) == ' ')
        ++Pos;
    if (!IsDigit(static_cast<unsigned char>(CharAtPos(Line, Pos))))
        return -1;
    std::int64_t N = 0;
    for (unsigned char C; IsDigit(C = static_cast<unsigned char>(CharAtPos(Line, Pos))); ++Pos)
        N = std::min<std::int64_t>(N * 10 + (C - '0'), INT32_MAX);
    return static_cast<std::int32_t>(N);
}

void TCommandContext::ReadRepeatCount(const std::string& Line, std::int64_t& Pos, std::int32_t& Count)
{
    const std::int32_t N = ReadCmdNumber(Line, Pos);
    if (N >= 0) {
        Count = N;
    } else if (CharAtPos(Line, Pos) == '#') {
        Count = INT32_MAX;
        ++Pos;
    }
    if (Count < 1)
        Count = 1;
}

std::string TCommandContext::ReadTextToEsc(const std::string& Line, std::int64_t& Pos)
{
    const std::int64_t From = std::max<std::int64_t>(Pos, 1);
    if (From > static_cast<std::int64_t>(Line.size())) {
        Pos = std::max(Pos, PastEnd(Line));
        return {};
    }
    const std::size_t E = Line.find(Esc, static_cast<std::size_t>(From - 1));
    const std::size_t Stop = E == std::string::npos ? Line.size() : E;
    Pos = static_cast<std::int64_t>(Stop) + 1;
    return Line.substr(static_cast<std::size_t>(From - 1), Stop - static_cast<std::size_t>(From - 1));
}

std::int64_t TCommandContext::SkipToBlockEnd(const std::string& Line, std::int64_t Pos)
{
    int Depth = 1;
    for (std::int64_t P = std::max<std::int64_t>(Pos, 1); P <= static_cast<std::int64_t>(Line.size()); ++P) {
        const char C = Line[static_cast<std::size_t>(P - 1)];
        if (C == '{') {
            ++Depth;
        } else if (C == '}' && --Depth == 0) {
            return P + 1;
        }
    }
    return PastEnd(Line);
}

}  // namespace narvo
