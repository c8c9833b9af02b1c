// The lines of one text and their conversion to and from bytes. A line is an 8-bit
// string without its line end; the buffer always holds at least one line. Every
// change runs inside one update bracket that holds the buffer's lock, so that the
// status thread can read the lines safely: it only try-locks, and answers "changing"
// when the lock is taken. The buffer remembers how the text it was given ended its
// lines and whether it came as UTF-16, so that it can be written back as it came.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

// How the lines of a text end on disk.
enum class TLineEnd : std::uint8_t { CrLf, Lf, Cr };

// Calls Piece(text, ended) for each piece of Text cut at CR LF, CR or LF (CR LF is
// one line end, LF CR two). The piece after the last line end is reported too, also
// when it is empty, so N line ends always give N + 1 pieces.
template <class F>
void ForEachTextLine(std::string_view Text, F&& Piece)
{
    std::size_t Start = 0, I = 0;
    const std::size_t N = Text.size();
    const char* P = Text.data();
    for (;;) {
        while (I < N && P[I] != '\r' && P[I] != '\n')
            ++I;
        if (I == N) {
            Piece(Text.substr(Start, I - Start), false);
            return;
        }
        Piece(Text.substr(Start, I - Start), true);
        I += (P[I] == '\r' && I + 1 < N && P[I + 1] == '\n') ? 2 : 1;
        Start = I;
    }
}

// The text with every CR LF and lone LF turned into the one CR that stands for a
// line end inside the program.
std::string NormalizeLineBreaks(std::string_view Text);

class TEditBuffer {
public:
    TEditBuffer();
    TEditBuffer(const TEditBuffer&) = delete;
    TEditBuffer& operator=(const TEditBuffer&) = delete;

    std::int64_t Count() const { return static_cast<std::int64_t>(FLines.size()); }
    bool ValidLine(std::int64_t Y) const { return Y >= 0 && Y < Count(); }
    const std::string& operator[](std::int64_t Y) const { return FLines[static_cast<std::size_t>(Y)]; }
    std::int64_t LineLength(std::int64_t Y) const { return static_cast<std::int64_t>((*this)[Y].size()); }

    // Update bracket: the first BeginUpdate takes the lock and sets Changing; the
    // last EndUpdate clears it, releases the lock and, when a line was changed in
    // between, fires OnChange (outside the lock).
    void BeginUpdate();
    void EndUpdate();
    class TUpdate {
    public:
        explicit TUpdate(TEditBuffer& B) : FBuffer(B) { FBuffer.BeginUpdate(); }
        ~TUpdate() { FBuffer.EndUpdate(); }
        TUpdate(const TUpdate&) = delete;
        TUpdate& operator=(const TUpdate&) = delete;

    private:
        TEditBuffer& FBuffer;
    };

    // Changes. Each takes its own bracket when none is open.
    std::string& MutableLine(std::int64_t Y);  // only inside an update bracket
    void SetLine(std::int64_t Y, std::string S);
    void InsertLine(std::int64_t At, std::string S);
    // Inserts all of NewLines before line At in one splice.
    void InsertLines(std::int64_t At, std::vector<std::string>&& NewLines);
    // Deletes lines First..Last (clamped to the text) in one splice; deleting every
    // line leaves one empty line.
    void DeleteLines(std::int64_t First, std::int64_t Last);
    // One empty line; the encoding, first word, line-end style and lossy flag return
    // to those of a new text.
    void Clear();

    // Whole-text conversion. SetTextStr leaves the lines as they are for an empty
    // text (the editor empties itself through its own clear).
    void SetTextStr(std::string_view Text);
    // The lines joined by the remembered line end, with none after the last line.
    std::string GetTextStr() const;
    // All lines, each followed by Separator, the final one cut.
    std::string JoinLines(char Separator) const;
    // The bytes to write to disk: GetTextStr, and for a text that came as UTF-16 its
    // byte-order mark followed by each character as a unit in that order
    // (Windows-1252).
    std::string GetFileBytes() const;
    std::string_view LineEndChars() const;

    // Read access from another thread: owns the lines only when the lock was free
    // and no change is under way. The lock is recursive, so a reader may nest.
    class TReadLock {
    public:
        explicit TReadLock(const TEditBuffer& B);
        ~TReadLock();
        TReadLock(const TReadLock&) = delete;
        TReadLock& operator=(const TReadLock&) = delete;
        bool Owns() const { return FOwns; }

    private:
        const TEditBuffer& FBuffer;
        bool FLocked = false;
        bool FOwns = false;
    };

    // True from the first BeginUpdate to the last EndUpdate.
    std::atomic<bool> Changing{false};
    // 0 plain 8-bit text, 1 it began with FF FE, 2 it began with FE FF.
    std::uint8_t Encoding = 0;
    // The first two bytes of the last whole text assigned, little-endian.
    std::uint16_t FirstWord = 0;
    // The line end the last text assigned was split at: its most frequent one; LF
    // for a new text. Any other LF stays a character of its line, so it is written
    // back as it was read; any other CR still ends a line (a CR is a line end
    // inside the program) and is counted in ChangedLineEnds.
    TLineEnd LineEnd = TLineEnd::Lf;
    // Set when UTF-16 text held a character without a Windows-1252 byte, or an odd
    // trailing byte: saving it would not give back the file that was read.
    bool Lossy = false;
    // Line ends of the last text assigned that saving writes as LineEnd instead of
    // the bytes that were read; the caller asks before such a save.
    std::int64_t ChangedLineEnds = 0;
    // Fired after each update bracket that changed a line.
    std::function<void()> OnChange;

private:
    void ResetFormat();
    void DecodeBytes(std::string_view Text, std::vector<std::string>& Out);
    void DecodeUtf16(std::string_view Text, bool BigEndian, std::vector<std::string>& Out);
    void ReplaceAll(std::vector<std::string>&& NewLines);

    std::vector<std::string> FLines;
    mutable std::recursive_mutex FLock;
    int FUpdateCount = 0;
    bool FDirty = false;
};

}  // namespace narvo
