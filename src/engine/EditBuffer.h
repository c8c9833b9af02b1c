// The lines of one text and their conversion to and from bytes. A line is an 8-bit
// string without its line end; the buffer always holds at least one line.
//
// Storage: a text given as a whole is kept as one block of bytes, and its lines are
// views into that block until they change; a changed line owns its bytes. Many
// lines inserted at once (a paste, an undone deletion) get a block of their own in
// the same way, which goes when the last of its lines is deleted or changed. Lines
// are kept in chunks of a few thousand, each knowing its line count and byte count,
// so that inserting or deleting lines and turning a position into an offset cost per
// chunk, not per line of the whole text.
//
// Every change runs inside one update bracket that holds the buffer's lock, so that
// the status thread can read the lines safely: a change under way makes its queries
// answer "changing"; a lock held by another reader is waited for (readers hold it
// only for a walk over the chunks). The buffer remembers how the text it was given
// ended its lines and whether it came as UTF-16, so that it can be written back as
// it came.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
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
    const std::size_t N = Text.size();
    const char* P = Text.data();
    // The next CR and the next LF (N when none) are each looked up again only once
    // the cut has passed them, so the text is scanned by memchr, twice at most.
    auto Find = [P, N](char C, std::size_t From) -> std::size_t {
        const void* Q = From < N ? std::memchr(P + From, C, N - From) : nullptr;
        return Q ? static_cast<std::size_t>(static_cast<const char*>(Q) - P) : N;
    };
    std::size_t Start = 0, Cr = Find('\r', 0), Lf = Find('\n', 0);
    for (;;) {
        const std::size_t I = Cr < Lf ? Cr : Lf;
        if (I == N) {
            Piece(Text.substr(Start, I - Start), false);
            return;
        }
        Piece(Text.substr(Start, I - Start), true);
        Start = I + ((P[I] == '\r' && I + 1 < N && P[I + 1] == '\n') ? 2 : 1);
        if (Cr < Start)
            Cr = Find('\r', Start);
        if (Lf < Start)
            Lf = Find('\n', Start);
    }
}

// The text with every CR LF and lone LF turned into the one CR that stands for a
// line end inside the program.
std::string NormalizeLineBreaks(std::string_view Text);

// One line: a view into the buffer's block, or a string of its own.
class TLineRec {
public:
    TLineRec() = default;
    static TLineRec View(const char* P, std::int64_t N)
    {
        TLineRec R;
        R.FP = P;
        R.FLen = N;
        return R;
    }
    explicit TLineRec(std::string&& S)
    {
        if (!S.empty()) {
            FP = new std::string(std::move(S));
            FLen = Owned;
        }
    }
    TLineRec(TLineRec&& O) noexcept : FP(O.FP), FLen(O.FLen) { O.FP = nullptr, O.FLen = 0; }
    TLineRec& operator=(TLineRec&& O) noexcept
    {
        if (this != &O) {
            Free();
            FP = O.FP;
            FLen = O.FLen;
            O.FP = nullptr;
            O.FLen = 0;
        }
        return *this;
    }
    TLineRec(const TLineRec&) = delete;
    TLineRec& operator=(const TLineRec&) = delete;
    ~TLineRec() { Free(); }

    bool IsView() const { return FLen != Owned; }
    std::int64_t Size() const { return IsView() ? FLen : static_cast<std::int64_t>(Str()->size()); }
    std::string_view Text() const
    {
        if (IsView())
            return {static_cast<const char*>(FP), static_cast<std::size_t>(FLen)};
        return *Str();
    }
    // The line's own string; a view is copied into one first.
    std::string& Own()
    {
        if (IsView()) {
            auto* S = new std::string(static_cast<const char*>(FP), static_cast<std::size_t>(FLen));
            FP = S;
            FLen = Owned;
        }
        return *Str();
    }

private:
    static constexpr std::int64_t Owned = -1;
    std::string* Str() const { return static_cast<std::string*>(const_cast<void*>(FP)); }
    void Free()
    {
        if (!IsView())
            delete Str();
    }
    const void* FP = nullptr;
    std::int64_t FLen = 0;
};

class TEditBuffer {
public:
    TEditBuffer();
    ~TEditBuffer();
    TEditBuffer(const TEditBuffer&) = delete;
    TEditBuffer& operator=(const TEditBuffer&) = delete;

    std::int64_t Count() const { return FCount; }
    bool ValidLine(std::int64_t Y) const { return Y >= 0 && Y < Count(); }
    std::string_view operator[](std::int64_t Y) const { return Rec(Y).Text(); }
    std::int64_t LineLength(std::int64_t Y) const { return Rec(Y).Size(); }

    // Update bracket: the first BeginUpdate sets Changing and takes the lock; the
    // last EndUpdate brings the chunks' byte counts up to date, clears Changing,
    // releases the lock and, when a line was changed in between, fires OnChange
    // (outside the lock).
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
    // Only inside an update bracket. The string may be changed until the next
    // MutableLine or the bracket's end (also across inserts and deletes of other
    // lines); its length then goes into its chunk's count.
    std::string& MutableLine(std::int64_t Y);
    // Line Y, text unchanged, held in a string of its own, so that shortening it
    // later allocates nothing.
    void OwnLine(std::int64_t Y);
    void SetLine(std::int64_t Y, std::string S);
    void InsertLine(std::int64_t At, std::string S);
    // Inserts all of NewLines before line At in one splice.
    void InsertLines(std::int64_t At, std::vector<std::string>&& NewLines);
    void InsertLines(std::int64_t At, std::span<const std::string_view> NewLines);
    // Deletes lines First..Last (clamped to the text) in one splice; deleting every
    // line leaves one empty line.
    void DeleteLines(std::int64_t First, std::int64_t Last);
    // One empty line; the encoding, first word, line-end style and lossy flag return
    // to those of a new text.
    void Clear();

    // Whole-text conversion. SetTextStr leaves the lines as they are for an empty
    // text (the editor empties itself through its own clear). AdoptText is
    // SetTextStr keeping Text itself as the block the lines view (no copy).
    void SetTextStr(std::string_view Text);
    void AdoptText(std::string&& Text);
    void AdoptText(std::unique_ptr<char[]> Data, std::size_t Size);
    // Takes over the lines of From and how its text came (encoding, line end, lossy
    // flag, changed line ends), as if its text had been assigned here; From is left
    // a new empty text. From may have been filled on another thread, as long as
    // that thread is done with it.
    void TakeText(TEditBuffer& From);
    // The lines joined by the remembered line end, with none after the last line.
    std::string GetTextStr() const;
    // All lines, each followed by Separator, the final one cut.
    std::string JoinLines(char Separator) const;
    // GetTextStr as pieces that point into the lines (valid until the next change):
    // lines that still lie one line end apart in the block come as one piece, so
    // an unchanged text is its block.
    std::vector<std::string_view> TextPieces() const;
    // The bytes to write to disk: GetTextStr, or with AsRead the lines joined as the
    // text was read (between two lines the line end the bytes read had there, where
    // one of the two still views those bytes, else the remembered one, so a text of
    // mixed line ends comes back as it was), and for a text that came as UTF-16 its
    // byte-order mark followed by each character as a unit in that order
    // (Windows-1252).
    std::string GetFileBytes(bool AsRead = false) const;
    // The same bytes handed to Put a piece at a time, each at most FileBytesPiece
    // bytes: no copy of the whole text is made, so a text can be written while the
    // memory left is far smaller than the text. Put may throw; nothing is kept then.
    void PutFileBytes(bool AsRead, const std::function<void(std::string_view)>& Put) const;
    static constexpr std::size_t FileBytesPiece = std::size_t{1} << 20;
    std::string_view LineEndChars() const;

    // Sizes from the chunks' counts, each line end counting EndSize characters. From
    // another thread only under an owning TReadLock.
    // The characters before line Y (Y may be Count(): the whole text and one more
    // line end).
    std::int64_t OffsetOfLine(std::int64_t Y, std::int64_t EndSize) const;
    // The characters of the whole text.
    std::int64_t TextLength(std::int64_t EndSize) const { return OffsetOfLine(FCount, EndSize) - EndSize; }
    // The line whose characters, with the line end after it, hold offset N, and
    // the offset of its start; -1 when N lies outside the text.
    std::int64_t LineAtOffset(std::int64_t N, std::int64_t EndSize, std::int64_t& LineStart) const;

    // Lines First..Last stored back to back: each a view into the block, one line
    // end (one or two bytes of CR and LF) apart, and in one chunk. Answers the last
    // line of the longest such stretch of at most Most lines from First (First
    // itself at least), or the first line of the longest one ending at Last.
    std::int64_t StretchEnd(std::int64_t First, std::int64_t Most) const;
    std::int64_t StretchStart(std::int64_t Last, std::int64_t Most) const;
    // The line of the stretch First..Last (as above) whose bytes or following line
    // end hold P.
    std::int64_t LineOfByte(std::int64_t First, std::int64_t Last, const char* P) const;

    // Read access from another thread: owns the lines only when no change is under
    // way. The lock is recursive, so a reader may nest; a change of the thread's own
    // under way makes it answer "changing" at once.
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
    // Told before lines A..B-1 change (A = B: lines go in before line A; A = -1:
    // the whole text is replaced), while they still hold their text, and after, with
    // the number of lines that took their place. A change that fails in between
    // leaves the lines as they were and is not told after.
    std::function<void(std::int64_t A, std::int64_t B)> OnLinesChanging;
    std::function<void(std::int64_t A, std::int64_t B, std::int64_t M)> OnLinesChanged;

    // Blocks of inserted lines still held (for memory reports and tests).
    std::size_t InsertedBlocks() const { return FStore.Blocks.size(); }

    // Lines per chunk when a text is loaded or a chunk is split; a chunk that grows
    // past twice this is split.
    static constexpr std::size_t ChunkLines = 4096;
    // Inserts of at least this many lines copy them into a block of their own.
    static constexpr std::size_t BlockLines = 64;

private:
    struct TChunk {
        std::vector<TLineRec> Lines;
        std::int64_t Bytes = 0;  // the lines' lengths; stale while Dirty
        bool Dirty = false;
        std::int64_t SumBytes() const;
    };
    // A block of inserted lines, each non-empty one a view into it, each followed by
    // a CR (so that neighbours read as one stretch, as in a loaded block).
    struct TBlock {
        std::unique_ptr<char[]> Bytes;
        std::size_t Size = 0;
        std::int64_t Lines = 0;  // non-empty lines that still view it
    };
    struct TStore {
        std::vector<TChunk> Chunks;
        std::vector<TBlock> Blocks;  // in the order of their addresses
        std::vector<std::int64_t> First;  // first line of each chunk, then the count
        std::unique_ptr<std::string> Block;
        std::unique_ptr<char[]> Bytes;  // the block when it came as plain memory
        // The bytes of the 8-bit text given as a whole, which its lines view until
        // they change (in Block or Bytes); empty for any other text.
        std::string_view Whole;
    };

    std::size_t ChunkOf(std::int64_t Y) const;
    const TLineRec& Rec(std::int64_t Y) const
    {
        const std::size_t K = ChunkOf(Y);
        return FStore.Chunks[K].Lines[static_cast<std::size_t>(Y - FStore.First[K])];
    }
    void Renumber(std::size_t From);
    void MergeSmall(std::size_t K);
    // Moves the records of Recs in before line At.
    void InsertRecs(std::int64_t At, std::span<TLineRec> Recs);
    // The same for N records that Next() hands out in order, Bytes long together:
    // many lines go straight into their chunks, with no list of them in between.
    template <class FNext>
    void InsertRecsFrom(std::int64_t At, std::size_t N, std::int64_t Bytes, FNext&& Next);
    // A line that viewed bytes at P no longer does: its block goes with its last line.
    void Release(const char* P);
    void ResetFormat();
    void DecodeBytes(std::string_view Text, TStore& Out);
    void Install(TStore&& New);
    void DecodeUtf16(std::string_view Text, bool BigEndian, std::vector<TLineRec>& Out);
    void Assign(std::string_view Text, std::unique_ptr<std::string> Block, std::unique_ptr<char[]> Bytes = nullptr);
    void ReplaceAll(std::vector<TLineRec>&& NewLines, std::unique_ptr<std::string> Block);
    template <class F>
    void ForEachLine(F&& Fn) const;
    std::string Join(std::string_view Sep) const;
    // The line end between two neighbouring lines as the text was read (see
    // GetFileBytes).
    std::string_view EndAsRead(const TLineRec& A, const TLineRec& B) const;

    void SettlePending();
    void BeforeSplice();
    // After a splice: the handed-out line is now line Y (-1: it was deleted).
    void AfterSplice(std::int64_t Y);
    // Chunk K's byte count, correct also inside a bracket.
    std::int64_t ChunkBytes(std::size_t K) const;

    TStore FStore;
    // The line MutableLine handed out last, its length when last counted, its chunk
    // and its line number (both kept up to date by the splices).
    struct TPending {
        const std::string* Line = nullptr;
        std::int64_t Size = 0;
        std::size_t Chunk = 0;
        std::int64_t Y = 0;
    } FPending;
    std::int64_t FCount = 1;
    // The chunk of the last line looked up: lines are mostly read in order.
    mutable std::atomic<std::size_t> FHint{0};
    // The block of the last line released: lines are mostly deleted in runs.
    std::size_t FBlockHint = 0;
    mutable std::recursive_mutex FLock;
    int FUpdateCount = 0;
    bool FDirty = false;
    bool FChunksDirty = false;
};

}  // namespace narvo
