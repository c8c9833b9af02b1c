// The line buffer: its chunks and their counts, its update bracket and lock, its
// line splices, and the conversion of whole texts between bytes (8-bit or UTF-16)
// and lines.
#include "engine/EditBuffer.h"

#include "shared/CodePage.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace narvo {

std::string NormalizeLineBreaks(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    ForEachTextLine(Text, [&](std::string_view Piece, bool Ended) {
        Out.append(Piece);
        if (Ended)
            Out.push_back('\r');
    });
    return Out;
}

std::int64_t TEditBuffer::TChunk::SumBytes() const
{
    std::int64_t Sum = 0;
    for (const TLineRec& L : Lines)
        Sum += L.Size();
    return Sum;
}

TEditBuffer::TEditBuffer()
{
    FStore.Chunks.emplace_back();
    FStore.Chunks[0].Lines.emplace_back();
    FStore.First = {0, 1};
}

TEditBuffer::~TEditBuffer() = default;

std::size_t TEditBuffer::ChunkOf(std::int64_t Y) const
{
    const std::vector<std::int64_t>& F = FStore.First;
    const std::size_t N = FStore.Chunks.size();
    std::size_t H = FHint.load(std::memory_order_relaxed);
    if (H < N && F[H] <= Y) {
        if (Y < F[H + 1])
            return H;
        if (H + 1 < N && Y < F[H + 2]) {
            FHint.store(H + 1, std::memory_order_relaxed);
            return H + 1;
        }
    }
    if (Y < 0 || Y >= FCount)
        throw std::out_of_range("TEditBuffer: no line " + std::to_string(Y));
    H = static_cast<std::size_t>(std::upper_bound(F.begin(), F.begin() + static_cast<std::ptrdiff_t>(N), Y) - F.begin()) - 1;
    FHint.store(H, std::memory_order_relaxed);
    return H;
}

void TEditBuffer::Renumber(std::size_t From)
{
    std::vector<std::int64_t>& F = FStore.First;
    const std::size_t N = FStore.Chunks.size();
    F.resize(N + 1);
    if (From == 0)
        F[0] = 0;
    for (std::size_t K = std::max<std::size_t>(From, 1); K <= N; ++K)
        F[K] = F[K - 1] + static_cast<std::int64_t>(FStore.Chunks[K - 1].Lines.size());
    FCount = F[N];
}

void TEditBuffer::MergeSmall(std::size_t K)
{
    // A chunk that shrank below a quarter joins a neighbour when both fit in one.
    auto& C = FStore.Chunks;
    if (K >= C.size() || C[K].Lines.size() >= ChunkLines / 4)
        return;
    std::size_t Into = K;
    if (K + 1 < C.size() && C[K].Lines.size() + C[K + 1].Lines.size() <= ChunkLines)
        Into = K + 1;
    else if (K > 0 && C[K - 1].Lines.size() + C[K].Lines.size() <= ChunkLines)
        Into = K - 1;
    if (Into == K)
        return;
    const std::size_t A = std::min(K, Into), B = std::max(K, Into);
    auto& Dst = C[A].Lines;
    try {
        Dst.reserve(Dst.size() + C[B].Lines.size());
    } catch (const std::bad_alloc&) {
        return;  // the chunks stay apart, as whole as before
    }
    C[A].Bytes = ChunkBytes(A) + ChunkBytes(B);
    std::move(C[B].Lines.begin(), C[B].Lines.end(), std::back_inserter(Dst));
    C[A].Dirty = C[A].Dirty || C[B].Dirty;
    C.erase(C.begin() + static_cast<std::ptrdiff_t>(B));
}

void TEditBuffer::BeginUpdate()
{
    if (FUpdateCount++ == 0) {
        // Set before the lock is taken: a reader that gets the lock from here on sees
        // the change under way instead of waiting for its end.
        Changing = true;
        FLock.lock();
        FDirty = false;
    }
}

void TEditBuffer::EndUpdate()
{
    if (FUpdateCount <= 0)
        throw std::logic_error("TEditBuffer::EndUpdate without BeginUpdate");
    if (--FUpdateCount == 0) {
        SettlePending();
        if (FChunksDirty) {
            for (TChunk& C : FStore.Chunks)
                if (C.Dirty) {
                    C.Bytes = C.SumBytes();
                    C.Dirty = false;
                }
            FChunksDirty = false;
        }
        const bool Dirty = FDirty;
        Changing = false;
        FLock.unlock();
        if (Dirty && OnChange)
            OnChange();
    }
}

std::string& TEditBuffer::MutableLine(std::int64_t Y)
{
    if (FUpdateCount == 0)
        throw std::logic_error("TEditBuffer::MutableLine outside an update");
    if (!ValidLine(Y))
        throw std::out_of_range("TEditBuffer::MutableLine: no line " + std::to_string(Y));
    if (OnLinesChanging)
        OnLinesChanging(Y, Y + 1);
    FDirty = true;
    const std::size_t K = ChunkOf(Y);
    TChunk& C = FStore.Chunks[K];
    TLineRec& Rec = C.Lines[static_cast<std::size_t>(Y - FStore.First[K])];
    const char* Viewed = Rec.IsView() && Rec.Size() > 0 ? Rec.Text().data() : nullptr;
    std::string& S = Rec.Own();
    if (Viewed)
        Release(Viewed);
    // The caller changes the string after this returns. The line is remembered with
    // its length now, and the chunk's count corrected by the difference at the next
    // change of the buffer or the bracket's end.
    if (FPending.Line != &S) {
        SettlePending();
        FPending = {&S, static_cast<std::int64_t>(S.size()), K, Y};
    }
    return S;
}

void TEditBuffer::OwnLine(std::int64_t Y)
{
    if (!ValidLine(Y))
        return;
    TUpdate U(*this);  // readers on other threads never see the record half made
    const std::size_t K = ChunkOf(Y);
    TLineRec& Rec = FStore.Chunks[K].Lines[static_cast<std::size_t>(Y - FStore.First[K])];
    const char* Viewed = Rec.IsView() && Rec.Size() > 0 ? Rec.Text().data() : nullptr;
    Rec.Own();
    if (Viewed)
        Release(Viewed);
}

void TEditBuffer::SettlePending()
{
    if (!FPending.Line)
        return;
    FStore.Chunks[FPending.Chunk].Bytes += static_cast<std::int64_t>(FPending.Line->size()) - FPending.Size;
    FPending = {};
}

void TEditBuffer::BeforeSplice()
{
    // The line handed out may still change after the splice: what it holds now goes
    // into its chunk's count, and AfterSplice finds its place again.
    if (!FPending.Line)
        return;
    const auto Now = static_cast<std::int64_t>(FPending.Line->size());
    FStore.Chunks[FPending.Chunk].Bytes += Now - FPending.Size;
    FPending.Size = Now;
}

void TEditBuffer::AfterSplice(std::int64_t Y)
{
    if (!FPending.Line)
        return;
    if (Y < 0) {
        FPending = {};  // the line itself was deleted
        return;
    }
    FPending.Y = Y;
    FPending.Chunk = ChunkOf(Y);
}

void TEditBuffer::SetLine(std::int64_t Y, std::string S)
{
    TUpdate U(*this);
    MutableLine(Y) = std::move(S);
}

template <class FNext>
void TEditBuffer::InsertRecsFrom(std::int64_t At, std::size_t N, std::int64_t Bytes, FNext&& Next)
{
    if (N == 0)
        return;
    TUpdate U(*this);
    BeforeSplice();
    At = std::clamp<std::int64_t>(At, 0, Count());
    if (OnLinesChanging)
        OnLinesChanging(At, At);
    const std::size_t K = At == Count() ? FStore.Chunks.size() - 1 : ChunkOf(At);
    TChunk& C = FStore.Chunks[K];
    const auto Off = static_cast<std::size_t>(At - FStore.First[K]);
    // Everything the splice needs is allocated before the first record moves, so a
    // splice the memory cannot hold leaves the lines as they were.
    if (C.Lines.size() + N <= 2 * ChunkLines) {
        // Room for the new records at Off, then each moved in.
        const std::size_t Old = C.Lines.size();
        C.Lines.resize(Old + N);
        C.Bytes += Bytes;
        std::move_backward(C.Lines.begin() + static_cast<std::ptrdiff_t>(Off),
                           C.Lines.begin() + static_cast<std::ptrdiff_t>(Old), C.Lines.end());
        for (std::size_t I = Off; I < Off + N; ++I)
            C.Lines[I] = Next();
    } else {
        // The chunk's head, the new lines and its tail go straight into chunks of
        // ChunkLines lines, each record moved once.
        const std::size_t Total = C.Lines.size() + N;
        std::vector<TChunk> New((Total + ChunkLines - 1) / ChunkLines);
        for (std::size_t P = 0; P < New.size(); ++P)
            New[P].Lines.reserve(std::min(Total, (P + 1) * ChunkLines) - P * ChunkLines);
        FStore.First.reserve(FStore.Chunks.size() + New.size());
        FStore.Chunks.reserve(FStore.Chunks.size() + New.size());  // C moves with the chunks
        std::vector<TLineRec> Old = std::move(FStore.Chunks[K].Lines);
        const bool Dirty = FStore.Chunks[K].Dirty;
        for (std::size_t P = 0; P < New.size(); ++P) {
            const std::size_t A = P * ChunkLines, B = std::min(Total, A + ChunkLines);
            for (std::size_t I = A; I < B; ++I)
                New[P].Lines.push_back(I < Off ? std::move(Old[I]) : I < Off + N ? Next() : std::move(Old[I - N]));
            New[P].Bytes = New[P].SumBytes();
            // A line handed out by MutableLine may still change before the bracket ends.
            New[P].Dirty = Dirty;
        }
        FChunksDirty = FChunksDirty || Dirty;
        auto& Chunks = FStore.Chunks;
        Chunks.erase(Chunks.begin() + static_cast<std::ptrdiff_t>(K));
        Chunks.insert(Chunks.begin() + static_cast<std::ptrdiff_t>(K), std::make_move_iterator(New.begin()),
                      std::make_move_iterator(New.end()));
    }
    Renumber(K);
    const auto Added = static_cast<std::int64_t>(N);
    AfterSplice(FPending.Y >= At ? FPending.Y + Added : FPending.Y);
    FDirty = true;
    if (OnLinesChanged)
        OnLinesChanged(At, At, Added);
}

void TEditBuffer::InsertRecs(std::int64_t At, std::span<TLineRec> Recs)
{
    std::int64_t Bytes = 0;
    for (const TLineRec& L : Recs)
        Bytes += L.Size();
    std::size_t I = 0;
    InsertRecsFrom(At, Recs.size(), Bytes, [&] { return std::move(Recs[I++]); });
}

void TEditBuffer::InsertLine(std::int64_t At, std::string S)
{
    TLineRec One(std::move(S));
    InsertRecs(At, std::span<TLineRec>(&One, 1));
}

void TEditBuffer::InsertLines(std::int64_t At, std::vector<std::string>&& NewLines)
{
    if (NewLines.size() >= BlockLines) {
        InsertLines(At, std::vector<std::string_view>(NewLines.begin(), NewLines.end()));
        NewLines.clear();
        return;
    }
    std::vector<TLineRec> Recs;
    Recs.reserve(NewLines.size());
    for (std::string& S : NewLines)
        Recs.emplace_back(std::move(S));
    NewLines.clear();
    InsertRecs(At, Recs);
}

void TEditBuffer::InsertLines(std::int64_t At, std::span<const std::string_view> NewLines)
{
    if (NewLines.size() < BlockLines) {
        std::vector<TLineRec> Recs;
        Recs.reserve(NewLines.size());
        for (std::string_view L : NewLines)
            Recs.emplace_back(std::string(L));
        InsertRecs(At, Recs);
        return;
    }
    // One allocation for all the lines instead of one (or two) per line; each line
    // is copied into it as its record goes into its chunk.
    TBlock B;
    std::int64_t Bytes = 0;
    for (std::string_view L : NewLines) {
        B.Size += L.empty() ? 0 : L.size() + 1;
        B.Lines += L.empty() ? 0 : 1;
        Bytes += static_cast<std::int64_t>(L.size());
    }
    B.Bytes = std::make_unique_for_overwrite<char[]>(std::max<std::size_t>(B.Size, 1));
    char* Q = B.Bytes.get();
    TUpdate U(*this);
    auto& Blocks = FStore.Blocks;
    const char* Start = B.Bytes.get();
    if (B.Lines > 0) {
        const auto It = std::upper_bound(Blocks.begin(), Blocks.end(), Start,
                                         [](const char* P, const TBlock& X) { return P < X.Bytes.get(); });
        Blocks.insert(It, std::move(B));
    }
    // A splice that fails takes the block it would have filled with it.
    struct TDropBlock {
        std::vector<TBlock>& Blocks;
        const char* Start;
        bool Done = false;
        ~TDropBlock()
        {
            if (Done)
                return;
            for (auto It = Blocks.begin(); It != Blocks.end(); ++It)
                if (It->Bytes.get() == Start) {
                    Blocks.erase(It);
                    break;
                }
        }
    } Drop{Blocks, Start};
    std::size_t I = 0;
    InsertRecsFrom(At, NewLines.size(), Bytes, [&] {
        const std::string_view L = NewLines[I++];
        if (L.empty())
            return TLineRec();  // an empty line views nothing
        std::memcpy(Q, L.data(), L.size());
        TLineRec R = TLineRec::View(Q, static_cast<std::int64_t>(L.size()));
        Q += L.size();
        *Q++ = '\r';
        return R;
    });
    Drop.Done = true;
}

void TEditBuffer::Release(const char* P)
{
    auto& Blocks = FStore.Blocks;
    if (Blocks.empty())
        return;
    auto Holds = [P](const TBlock& B) { return P >= B.Bytes.get() && P < B.Bytes.get() + B.Size; };
    std::size_t K = FBlockHint;
    if (K >= Blocks.size() || !Holds(Blocks[K])) {
        const auto It = std::upper_bound(Blocks.begin(), Blocks.end(), P,
                                         [](const char* Q, const TBlock& X) { return Q < X.Bytes.get(); });
        if (It == Blocks.begin())
            return;  // the loaded block's, or an owned line's
        K = static_cast<std::size_t>(It - Blocks.begin()) - 1;
        if (!Holds(Blocks[K]))
            return;
        FBlockHint = K;
    }
    if (--Blocks[K].Lines == 0)
        Blocks.erase(Blocks.begin() + static_cast<std::ptrdiff_t>(K));
}

void TEditBuffer::DeleteLines(std::int64_t First, std::int64_t Last)
{
    First = std::max<std::int64_t>(First, 0);
    Last = std::min<std::int64_t>(Last, Count() - 1);
    if (Last < First)
        return;
    // Deleting every line leaves one empty line, made before any line goes.
    std::vector<TLineRec> Spare(First == 0 && Last == Count() - 1 ? 1 : 0);
    const auto Left = static_cast<std::int64_t>(Spare.size());
    TUpdate U(*this);
    if (OnLinesChanging)
        OnLinesChanging(First, Last + 1);
    BeforeSplice();
    auto& C = FStore.Chunks;
    const std::size_t KF = ChunkOf(First), KL = ChunkOf(Last);
    const std::int64_t F0 = FStore.First[KF], L0 = FStore.First[KL];
    auto EraseIn = [&](std::size_t K, std::int64_t A, std::int64_t B) {  // chunk-relative A..B
        TChunk& Ch = C[K];
        std::int64_t Gone = 0;
        for (std::int64_t I = A; I <= B; ++I) {
            const TLineRec& L = Ch.Lines[static_cast<std::size_t>(I)];
            Gone += L.Size();
            if (L.IsView() && L.Size() > 0)
                Release(L.Text().data());
        }
        Ch.Bytes -= Gone;
        Ch.Lines.erase(Ch.Lines.begin() + A, Ch.Lines.begin() + B + 1);
    };
    if (KF == KL) {
        EraseIn(KF, First - F0, Last - F0);
    } else {
        EraseIn(KL, 0, Last - L0);
        EraseIn(KF, First - F0, static_cast<std::int64_t>(C[KF].Lines.size()) - 1);
        for (std::size_t K = KF + 1; K < KL; ++K)
            for (const TLineRec& L : C[K].Lines)
                if (L.IsView() && L.Size() > 0)
                    Release(L.Text().data());
        C.erase(C.begin() + static_cast<std::ptrdiff_t>(KF + 1), C.begin() + static_cast<std::ptrdiff_t>(KL));
    }
    // Empty chunks go; a dirty chunk's count is summed again at the bracket's end,
    // so subtracting from a stale count above does no harm.
    if (KF != KL && KF + 1 < C.size() && C[KF + 1].Lines.empty())
        C.erase(C.begin() + static_cast<std::ptrdiff_t>(KF + 1));
    if (C[KF].Lines.empty())
        C.erase(C.begin() + static_cast<std::ptrdiff_t>(KF));
    if (C.empty()) {
        C.emplace_back();  // the vector keeps its capacity: no allocation
        C[0].Lines = std::move(Spare);
    }
    const std::size_t K = std::min(KF, C.size() - 1);
    MergeSmall(K);
    Renumber(K > 0 ? K - 1 : 0);
    AfterSplice(FPending.Y < First ? FPending.Y : FPending.Y > Last ? FPending.Y - (Last - First + 1) : -1);
    FHint.store(0, std::memory_order_relaxed);
    FDirty = true;
    if (OnLinesChanged)
        OnLinesChanged(First, Last + 1, Left);
}

void TEditBuffer::ResetFormat()
{
    Encoding = 0;
    FirstWord = 0;
    LineEnd = TLineEnd::Lf;
    Lossy = false;
    ChangedLineEnds = 0;
}

void TEditBuffer::Clear()
{
    std::vector<TLineRec> One(1);
    ReplaceAll(std::move(One), nullptr);
    ResetFormat();
}

void TEditBuffer::ReplaceAll(std::vector<TLineRec>&& NewLines, std::unique_ptr<std::string> Block)
{
    if (NewLines.empty())
        NewLines.emplace_back();
    TStore New;
    const std::size_t Pieces = (NewLines.size() + ChunkLines - 1) / ChunkLines;
    New.Chunks.resize(Pieces);
    for (std::size_t P = 0; P < Pieces; ++P) {
        const std::size_t A = P * ChunkLines, B = std::min(NewLines.size(), A + ChunkLines);
        New.Chunks[P].Lines.reserve(B - A);
        std::move(NewLines.begin() + static_cast<std::ptrdiff_t>(A), NewLines.begin() + static_cast<std::ptrdiff_t>(B),
                  std::back_inserter(New.Chunks[P].Lines));
        New.Chunks[P].Bytes = New.Chunks[P].SumBytes();
    }
    std::vector<TLineRec>().swap(NewLines);
    New.Block = std::move(Block);
    Install(std::move(New));
}

void TEditBuffer::Install(TStore&& New)
{
    if (OnLinesChanging)
        OnLinesChanging(-1, -1);
    {
        TUpdate U(*this);
        FPending = {};
        std::swap(FStore, New);
        Renumber(0);
        FHint.store(0, std::memory_order_relaxed);
        FChunksDirty = false;
        FDirty = true;
    }
    // The old lines and block are freed here, outside the lock.
}

void TEditBuffer::SetTextStr(std::string_view Text) { Assign(Text, nullptr); }

void TEditBuffer::TakeText(TEditBuffer& From)
{
    if (&From == this)
        return;
    // From's new empty text is made first; nothing after it allocates, so the text
    // is never lost between the two buffers.
    TStore Store;
    Store.Chunks.emplace_back();
    Store.Chunks[0].Lines.emplace_back();
    Store.First = {0, 1};
    From.Install(std::move(Store));  // Store holds From's text now
    Encoding = From.Encoding;
    FirstWord = From.FirstWord;
    LineEnd = From.LineEnd;
    Lossy = From.Lossy;
    ChangedLineEnds = From.ChangedLineEnds;
    From.ResetFormat();
    Install(std::move(Store));
}

void TEditBuffer::AdoptText(std::string&& Text)
{
    auto Block = std::make_unique<std::string>(std::move(Text));
    const std::string_view View = *Block;
    Assign(View, std::move(Block));
}

void TEditBuffer::AdoptText(std::unique_ptr<char[]> Data, std::size_t Size)
{
    const std::string_view View(Data.get(), Size);
    Assign(View, nullptr, std::move(Data));
}

void TEditBuffer::Assign(std::string_view Text, std::unique_ptr<std::string> Block, std::unique_ptr<char[]> Bytes)
{
    ResetFormat();
    if (Text.empty())
        return;
    const auto B0 = static_cast<unsigned char>(Text[0]);
    const auto B1 = Text.size() > 1 ? static_cast<unsigned char>(Text[1]) : 0u;
    FirstWord = static_cast<std::uint16_t>(B0 | (B1 << 8));
    if (FirstWord == 0xFEFF)
        Encoding = 1;
    else if (FirstWord == 0xFFFE)
        Encoding = 2;

    if (Encoding == 0) {
        if (!Block && !Bytes) {
            // The lines view a copy of their own: Text belongs to the caller.
            Block = std::make_unique<std::string>(Text);
            Text = *Block;
        }
        TStore New;
        DecodeBytes(Text, New);
        New.Block = std::move(Block);
        New.Bytes = std::move(Bytes);
        New.Whole = Text;
        Install(std::move(New));
        return;
    }
    std::vector<TLineRec> NewLines;
    DecodeUtf16(Text.substr(2), Encoding == 2, NewLines);
    ReplaceAll(std::move(NewLines), nullptr);
}

namespace {

// The line end a text is split at: the most frequent of CR LF, lone LF and lone CR.
// A tie goes to CR, then CR LF, as those keep more files exactly as they were.
TLineEnd PickLineEnd(const std::size_t (&Count)[3])
{
    TLineEnd Best = TLineEnd::Cr;
    for (TLineEnd K : {TLineEnd::CrLf, TLineEnd::Lf})
        if (Count[static_cast<int>(K)] > Count[static_cast<int>(Best)])
            Best = K;
    return Count[static_cast<int>(Best)] == 0 ? TLineEnd::Lf : Best;
}

template <class FUnit>
TLineEnd DominantLineEnd(std::size_t N, FUnit&& Unit)
{
    std::size_t Count[3] = {0, 0, 0};
    for (std::size_t I = 0; I < N; ++I) {
        const char16_t C = Unit(I);
        if (C == 0x0A) {
            ++Count[static_cast<int>(TLineEnd::Lf)];
        } else if (C == 0x0D) {
            const bool Pair = I + 1 < N && Unit(I + 1) == 0x0A;
            ++Count[static_cast<int>(Pair ? TLineEnd::CrLf : TLineEnd::Cr)];
            I += Pair ? 1 : 0;
        }
    }
    return PickLineEnd(Count);
}

// How the line end at unit I (a CR or an LF) is read in a text split at Style:
// 0 an LF that stays a character of its line, else the number of units the line
// end takes. Changed is set for a line end that is not Style: inside the program
// a CR always ends a line, so such a line end is written back as Style.
template <class FUnit>
int LineEndAt(std::size_t I, std::size_t N, FUnit&& Unit, TLineEnd Style, bool& Changed)
{
    const bool Cr = Unit(I) == 0x0D;
    const bool Pair = Cr && I + 1 < N && Unit(I + 1) == 0x0A;
    Changed = false;
    switch (Style) {
    case TLineEnd::Cr:
        return Cr ? 1 : 0;
    case TLineEnd::CrLf:
        Changed = Cr && !Pair;
        return Pair ? 2 : (Cr ? 1 : 0);
    case TLineEnd::Lf:
        Changed = Cr;
        return Pair ? 2 : 1;
    }
    return 1;
}

}  // namespace

namespace {

// The set bits of X, without relying on a processor instruction the build may not
// assume.
inline std::size_t Bits(std::uint64_t X)
{
    X = X - ((X >> 1) & 0x5555555555555555ull);
    X = (X & 0x3333333333333333ull) + ((X >> 2) & 0x3333333333333333ull);
    X = (X + (X >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<std::size_t>((X * 0x0101010101010101ull) >> 56);
}

// Bit I of Cr (Lf) is set when byte I of the 64 at P is a CR (an LF).
inline void BreakMasks(const char* P, std::uint64_t& Cr, std::uint64_t& Lf)
{
#if defined(__SSE2__)
    const __m128i CrV = _mm_set1_epi8('\r'), LfV = _mm_set1_epi8('\n');
    Cr = Lf = 0;
    for (int K = 0; K < 4; ++K) {
        const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P + 16 * K));
        Cr |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(V, CrV)))) << (16 * K);
        Lf |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(V, LfV)))) << (16 * K);
    }
#else
    Cr = Lf = 0;
    for (int K = 0; K < 64; ++K) {
        Cr |= static_cast<std::uint64_t>(P[K] == '\r') << K;
        Lf |= static_cast<std::uint64_t>(P[K] == '\n') << K;
    }
#endif
}

}  // namespace

void TEditBuffer::DecodeBytes(std::string_view Text, TStore& Out)
{
    const char* P = Text.data();
    const std::size_t N = Text.size();
    // The text is cut at the line end it begins with, counting every kind of line
    // end on the way (CR LF pairs, lone CRs, lone LFs, as DominantLineEnd counts);
    // only when another kind turns out the most frequent is it cut again.
    TLineEnd Style = TLineEnd::Lf;
    for (std::size_t I = 0; I < N; ++I)
        if (P[I] == '\r' || P[I] == '\n') {
            Style = P[I] == '\n' ? TLineEnd::Lf : I + 1 < N && P[I + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
            break;
        }
    struct TCounts {
        std::size_t Crs = 0, Lfs = 0, Pairs = 0;
    };
    // Cuts the bytes From..To, which begin a line, at the line ends of Style into
    // chunks appended to Chunks, counting the line ends into Counts when given. The
    // piece after the last line end is a line only at the text's end (Last).
    auto Cut = [P, N](std::size_t From, std::size_t To, bool Last, TLineEnd Style, std::vector<TChunk>& Chunks,
                      TCounts* Counts) {
        std::vector<TLineRec>* Lines = nullptr;
        std::int64_t* Bytes = nullptr;
        // Each line views its bytes; the records go straight into chunks of their
        // final size, so no record is moved afterwards.
        auto Add = [&](std::size_t A, std::size_t B) {
            if (!Lines || Lines->size() == ChunkLines) {
                Chunks.emplace_back();
                Lines = &Chunks.back().Lines;
                Lines->reserve(ChunkLines);
                Bytes = &Chunks.back().Bytes;
            }
            Lines->push_back(TLineRec::View(P + A, static_cast<std::int64_t>(B - A)));
            *Bytes += static_cast<std::int64_t>(B - A);
        };
        // An LF ends a line only in a text cut at LF (or as the second half of CR LF).
        const bool LfEnds = Style == TLineEnd::Lf;
        const bool PairEnds = Style != TLineEnd::Cr;
        std::size_t Start = From;
        auto Break = [&](std::size_t I) {
            if (I < Start)
                return;  // the LF of a CR LF already taken
            const bool Pair = PairEnds && P[I] == '\r' && I + 1 < N && P[I + 1] == '\n';
            Add(Start, I);
            Start = I + (Pair ? 2 : 1);
        };
        TCounts C;
        std::uint64_t CarryCr = 0;
        std::size_t I = From;
        for (; I + 64 <= To; I += 64) {
            std::uint64_t Cr, Lf;
            BreakMasks(P + I, Cr, Lf);
            if ((Cr | Lf) == 0) {
                CarryCr = 0;
                continue;
            }
            if (Counts) {
                C.Crs += Bits(Cr);
                C.Lfs += Bits(Lf);
                C.Pairs += Bits(((Cr << 1) | CarryCr) & Lf);
                CarryCr = Cr >> 63;
            }
            for (std::uint64_t M = LfEnds ? Cr | Lf : Cr; M != 0; M &= M - 1)
                Break(I + static_cast<std::size_t>(__builtin_ctzll(M)));
        }
        for (; I < To; ++I) {
            const bool IsCr = P[I] == '\r', IsLf = P[I] == '\n';
            if (Counts) {
                C.Crs += IsCr;
                C.Lfs += IsLf;
                C.Pairs += IsLf && I > From && P[I - 1] == '\r';
            }
            if (IsCr || (LfEnds && IsLf))
                Break(I);
        }
        if (Last)
            Add(Start, To);
        if (Counts)
            *Counts = C;
    };

    TCounts Counts;
    Out.Chunks.clear();
    // A large text is cut in two halves at once, split at a line end that no
    // CR LF pair straddles: the second half on a thread of its own.
    std::size_t Mid = 0;
    if (N >= (std::size_t{8} << 20)) {
        const char End = Style == TLineEnd::Cr ? '\r' : '\n';
        for (std::size_t I = N / 2; I + 1 < N && I < N / 2 + (std::size_t{1} << 20); ++I)
            if (P[I] == End && (Style != TLineEnd::CrLf || P[I - 1] == '\r') && (Style != TLineEnd::Cr || P[I + 1] != '\n')) {
                Mid = I + 1;
                break;
            }
    }
    if (Mid > 0) {
        std::vector<TChunk> Second;
        TCounts SecondCounts;
        std::exception_ptr Failure;
        auto CutSecond = [&] {
            try {
                Cut(Mid, N, true, Style, Second, &SecondCounts);
            } catch (...) {
                Failure = std::current_exception();
            }
        };
        std::thread Helper;
        try {
            Helper = std::thread(CutSecond);
        } catch (const std::system_error&) {
            CutSecond();  // no thread to be had: cut it here
        }
        try {
            Cut(0, Mid, false, Style, Out.Chunks, &Counts);
        } catch (...) {
            if (Helper.joinable())
                Helper.join();
            throw;
        }
        if (Helper.joinable())
            Helper.join();
        if (Failure)
            std::rethrow_exception(Failure);
        // The half's last chunk gives back what it reserved beyond its lines.
        Out.Chunks.back().Lines.shrink_to_fit();
        Out.Chunks.insert(Out.Chunks.end(), std::make_move_iterator(Second.begin()),
                          std::make_move_iterator(Second.end()));
        Counts.Crs += SecondCounts.Crs;
        Counts.Lfs += SecondCounts.Lfs;
        Counts.Pairs += SecondCounts.Pairs;
    } else {
        Cut(0, N, true, Style, Out.Chunks, &Counts);
    }
    const std::size_t Crs = Counts.Crs, Lfs = Counts.Lfs, Pairs = Counts.Pairs;
    const std::size_t Kinds[3] = {Pairs, Lfs - Pairs, Crs - Pairs};  // in TLineEnd's order
    static_assert(static_cast<int>(TLineEnd::CrLf) == 0 && static_cast<int>(TLineEnd::Lf) == 1 &&
                  static_cast<int>(TLineEnd::Cr) == 2);
    const TLineEnd Best = PickLineEnd(Kinds);
    if (Best != Style) {
        Style = Best;
        Out.Chunks.clear();
        Cut(0, N, true, Style, Out.Chunks, nullptr);
    }
    LineEnd = Style;
    // Inside the program a CR always ends a line, so a line end other than the one
    // chosen is written back as that one.
    ChangedLineEnds += static_cast<std::int64_t>(Style == TLineEnd::Lf ? Crs : Style == TLineEnd::CrLf ? Crs - Pairs : 0);
    // The last chunk gives back what it reserved beyond its lines.
    Out.Chunks.back().Lines.shrink_to_fit();
}

void TEditBuffer::DecodeUtf16(std::string_view Text, bool BigEndian, std::vector<TLineRec>& Out)
{
    const std::size_t Units = Text.size() / 2;
    if (Text.size() % 2 != 0)
        Lossy = true;
    auto Unit = [&](std::size_t I) -> char16_t {
        const auto A = static_cast<unsigned char>(Text[2 * I]);
        const auto B = static_cast<unsigned char>(Text[2 * I + 1]);
        return static_cast<char16_t>(BigEndian ? (A << 8) | B : (B << 8) | A);
    };
    LineEnd = DominantLineEnd(Units, Unit);
    std::string Line;
    for (std::size_t I = 0; I < Units; ++I) {
        const char16_t U = Unit(I);
        if (U == 0x0D || U == 0x0A) {
            bool Changed = false;
            if (const int Len = LineEndAt(I, Units, Unit, LineEnd, Changed)) {
                ChangedLineEnds += Changed ? 1 : 0;
                Out.emplace_back(std::move(Line));
                Line.clear();
                I += static_cast<std::size_t>(Len - 1);
                continue;
            }
        }
        unsigned char Byte = 0;
        if (U >= 0xD800 && U <= 0xDFFF) {
            // A surrogate pair is one character; no 8-bit byte can hold it.
            if (U <= 0xDBFF && I + 1 < Units && Unit(I + 1) >= 0xDC00 && Unit(I + 1) <= 0xDFFF)
                ++I;
            Line.push_back('?');
            Lossy = true;
        } else if (UnicodeToAnsi(U, Byte)) {
            Line.push_back(static_cast<char>(Byte));
        } else {
            Line.push_back('?');
            Lossy = true;
        }
    }
    Out.emplace_back(std::move(Line));
}

std::string_view TEditBuffer::LineEndChars() const
{
    switch (LineEnd) {
    case TLineEnd::CrLf:
        return "\r\n";
    case TLineEnd::Cr:
        return "\r";
    case TLineEnd::Lf:
        break;
    }
    return "\n";
}

template <class F>
void TEditBuffer::ForEachLine(F&& Fn) const
{
    for (const TChunk& C : FStore.Chunks)
        for (const TLineRec& L : C.Lines)
            Fn(L.Text());
}

std::string TEditBuffer::Join(std::string_view Sep) const
{
    std::string Out;
    Out.reserve(static_cast<std::size_t>(TextLength(static_cast<std::int64_t>(Sep.size()))));
    bool Firstline = true;
    ForEachLine([&](std::string_view L) {
        if (!Firstline)
            Out.append(Sep);
        Firstline = false;
        Out.append(L);
    });
    return Out;
}

std::string_view TEditBuffer::EndAsRead(const TLineRec& A, const TLineRec& B) const
{
    const std::string_view Usual = LineEndChars();
    const std::string_view Whole = FStore.Whole;
    const auto Address = [](const char* P) { return reinterpret_cast<std::uintptr_t>(P); };
    const std::uintptr_t Start = Address(Whole.data()), End = Start + Whole.size();
    const bool Pairs = LineEnd != TLineEnd::Cr;
    // The line end that begins at P, or nothing when P is not one as the text was
    // cut (an LF inside a line of a text cut at CR).
    const auto EndAt = [&](const char* P) -> std::string_view {
        if (*P == '\r')
            return Pairs && Address(P) + 1 < End && P[1] == '\n' ? std::string_view("\r\n") : std::string_view("\r");
        return *P == '\n' && LineEnd == TLineEnd::Lf ? std::string_view("\n") : std::string_view();
    };
    // The line end that ends just before P.
    const auto EndBefore = [&](const char* P) -> std::string_view {
        if (P[-1] == '\r')
            return "\r";
        if (P[-1] != '\n' || LineEnd == TLineEnd::Cr)
            return {};
        if (Address(P) - 1 > Start && P[-2] == '\r')
            return "\r\n";
        return LineEnd == TLineEnd::Lf ? std::string_view("\n") : std::string_view();
    };
    if (Whole.empty())
        return Usual;
    const std::string_view TA = A.Text(), TB = B.Text();
    if (A.IsView() && TA.data()) {
        const std::uintptr_t After = Address(TA.data()) + TA.size();
        if (After >= Start && After < End)
            if (const std::string_view E = EndAt(TA.data() + TA.size()); !E.empty())
                return E;
    }
    if (B.IsView() && TB.data()) {
        const std::uintptr_t At = Address(TB.data());
        if (At > Start && At <= End)
            if (const std::string_view E = EndBefore(TB.data()); !E.empty())
                return E;
    }
    return Usual;
}

std::vector<std::string_view> TEditBuffer::TextPieces() const
{
    const std::string_view Sep = LineEndChars();
    std::vector<std::string_view> Out;
    bool Firstline = true;
    ForEachLine([&](std::string_view L) {
        if (Firstline) {
            Firstline = false;
            if (!L.empty())
                Out.push_back(L);
            return;
        }
        if (!Out.empty() && !L.empty()) {
            // The line follows the last piece with this very line end between them.
            const char* End = Out.back().data() + Out.back().size();
            if (L.data() == End + Sep.size() && std::memcmp(End, Sep.data(), Sep.size()) == 0) {
                Out.back() = std::string_view(Out.back().data(), Out.back().size() + Sep.size() + L.size());
                return;
            }
        }
        Out.push_back(Sep);
        if (!L.empty())
            Out.push_back(L);
    });
    return Out;
}

std::string TEditBuffer::GetTextStr() const { return Join(LineEndChars()); }

std::string TEditBuffer::JoinLines(char Separator) const { return Join(std::string_view(&Separator, 1)); }

std::string TEditBuffer::GetFileBytes(bool AsRead) const
{
    std::string Out;
    const auto Size = static_cast<std::size_t>(TextLength(static_cast<std::int64_t>(LineEndChars().size())));
    Out.reserve(Encoding == 0 ? Size : 2 + 2 * Size);
    PutFileBytes(AsRead, [&](std::string_view P) { Out.append(P); });
    return Out;
}

void TEditBuffer::PutFileBytes(bool AsRead, const std::function<void(std::string_view)>& Put) const
{
    std::string Buffer;
    Buffer.reserve(FileBytesPiece);
    const auto Flush = [&] {
        if (!Buffer.empty())
            Put(Buffer);
        Buffer.clear();
    };
    // Back in the byte order it came in, so that an unchanged text keeps its bytes.
    const bool Big = Encoding == 2;
    char16_t Table[256];
    if (Encoding != 0) {
        char All[256];
        for (int B = 0; B < 256; ++B)
            All[B] = static_cast<char>(B);
        BytesToUtf16Units(TCodePage::Ansi, std::string_view(All, 256), Table);
        Buffer.push_back(static_cast<char>(Big ? 0xFE : 0xFF));
        Buffer.push_back(static_cast<char>(Big ? 0xFF : 0xFE));
    }
    const auto Add = [&](std::string_view P) {
        if (Encoding == 0) {
            if (Buffer.size() + P.size() > FileBytesPiece)
                Flush();
            if (P.size() < FileBytesPiece) {
                Buffer.append(P);
                return;
            }
            // A line longer than a piece goes out from where it lies.
            for (std::size_t At = 0; At < P.size(); At += FileBytesPiece)
                Put(P.substr(At, FileBytesPiece));
            return;
        }
        // Each character as a unit (Windows-1252), a part of a long line at a time.
        while (!P.empty()) {
            if (Buffer.size() + 2 > FileBytesPiece)
                Flush();
            const std::size_t Take = std::min(P.size(), (FileBytesPiece - Buffer.size()) / 2);
            for (const char C : P.substr(0, Take)) {
                const char16_t U = Table[static_cast<unsigned char>(C)];
                const char Lo = static_cast<char>(U & 0xFF), Hi = static_cast<char>(U >> 8);
                Buffer.push_back(Big ? Hi : Lo);
                Buffer.push_back(Big ? Lo : Hi);
            }
            P.remove_prefix(Take);
        }
    };
    const std::string_view Usual = LineEndChars();
    const TLineRec* Previous = nullptr;
    for (const TChunk& C : FStore.Chunks)
        for (const TLineRec& L : C.Lines) {
            if (Previous)
                Add(AsRead ? EndAsRead(*Previous, L) : Usual);
            Add(L.Text());
            Previous = &L;
        }
    Flush();
}

std::int64_t TEditBuffer::ChunkBytes(std::size_t K) const
{
    const TChunk& C = FStore.Chunks[K];
    if (C.Dirty)
        return C.SumBytes();
    if (FPending.Line && FPending.Chunk == K)
        return C.Bytes + static_cast<std::int64_t>(FPending.Line->size()) - FPending.Size;
    return C.Bytes;
}

std::int64_t TEditBuffer::OffsetOfLine(std::int64_t Y, std::int64_t EndSize) const
{
    Y = std::clamp<std::int64_t>(Y, 0, FCount);
    const auto& C = FStore.Chunks;
    const auto& F = FStore.First;
    const std::size_t K = Y == FCount ? C.size() : ChunkOf(Y);
    std::int64_t Sum = 0;
    for (std::size_t J = 0; J < K; ++J)
        Sum += ChunkBytes(J) + EndSize * static_cast<std::int64_t>(C[J].Lines.size());
    if (K < C.size()) {
        const auto& Lines = C[K].Lines;
        const auto I = static_cast<std::size_t>(Y - F[K]);
        if (!C[K].Dirty && I > Lines.size() / 2) {
            // Nearer the chunk's end: take the lines after Y off the chunk's count.
            std::int64_t After = 0;
            for (std::size_t J = I; J < Lines.size(); ++J)
                After += Lines[J].Size();
            Sum += ChunkBytes(K) - After + EndSize * static_cast<std::int64_t>(I);
        } else {
            for (std::size_t J = 0; J < I; ++J)
                Sum += Lines[J].Size() + EndSize;
        }
    }
    return Sum;
}

std::int64_t TEditBuffer::LineAtOffset(std::int64_t N, std::int64_t EndSize, std::int64_t& LineStart) const
{
    LineStart = -1;
    if (N < 0)
        return -1;
    const auto& C = FStore.Chunks;
    std::int64_t Before = 0;
    for (std::size_t K = 0; K < C.size(); ++K) {
        const std::int64_t Size = ChunkBytes(K) + EndSize * static_cast<std::int64_t>(C[K].Lines.size());
        if (Before + Size > N) {
            std::int64_t Y = FStore.First[K];
            for (const TLineRec& L : C[K].Lines) {
                const std::int64_t Len = L.Size() + EndSize;
                if (Before + Len > N) {
                    LineStart = Before;
                    return Y;
                }
                Before += Len;
                ++Y;
            }
        }
        Before += Size;
    }
    return -1;
}

namespace {

// Line B's bytes follow line A's one line end further on in the same block.
bool Adjacent(const TLineRec& A, const TLineRec& B)
{
    if (!A.IsView() || !B.IsView())
        return false;
    const std::string_view TA = A.Text(), TB = B.Text();
    if (TA.data() == nullptr || TB.data() == nullptr)
        return false;
    const char* End = TA.data() + TA.size();
    const std::ptrdiff_t Gap = TB.data() - End;
    if (Gap == 1)
        return End[0] == '\r' || End[0] == '\n';
    if (Gap == 2)
        return (End[0] == '\r' || End[0] == '\n') && (End[1] == '\r' || End[1] == '\n');
    return false;
}

}  // namespace

std::int64_t TEditBuffer::StretchEnd(std::int64_t First, std::int64_t Most) const
{
    const std::size_t K = ChunkOf(First);
    const auto& Lines = FStore.Chunks[K].Lines;
    const auto From = static_cast<std::size_t>(First - FStore.First[K]);
    const std::size_t Stop = std::min(Lines.size(), From + static_cast<std::size_t>(std::max<std::int64_t>(Most, 1)));
    auto I = From;
    while (I + 1 < Stop && Adjacent(Lines[I], Lines[I + 1]))
        ++I;
    return FStore.First[K] + static_cast<std::int64_t>(I);
}

std::int64_t TEditBuffer::StretchStart(std::int64_t Last, std::int64_t Most) const
{
    const std::size_t K = ChunkOf(Last);
    const auto& Lines = FStore.Chunks[K].Lines;
    const auto From = static_cast<std::size_t>(Last - FStore.First[K]);
    const std::size_t Stop = From + 1 - std::min<std::size_t>(From + 1, static_cast<std::size_t>(std::max<std::int64_t>(Most, 1)));
    auto I = From;
    while (I > Stop && Adjacent(Lines[I - 1], Lines[I]))
        --I;
    return FStore.First[K] + static_cast<std::int64_t>(I);
}

std::int64_t TEditBuffer::LineOfByte(std::int64_t First, std::int64_t Last, const char* P) const
{
    const std::size_t K = ChunkOf(First);
    const auto& Lines = FStore.Chunks[K].Lines;
    const auto A = Lines.begin() + (First - FStore.First[K]), B = Lines.begin() + (Last - FStore.First[K]) + 1;
    // The last line of the stretch that starts at or before P.
    const auto It = std::upper_bound(A, B, P, [](const char* Q, const TLineRec& L) { return Q < L.Text().data(); });
    return It == A ? First : FStore.First[K] + (It - Lines.begin()) - 1;
}

TEditBuffer::TReadLock::TReadLock(const TEditBuffer& B) : FBuffer(B)
{
    FLocked = FBuffer.FLock.try_lock();
    if (!FLocked && !FBuffer.Changing.load()) {
        // Another reader holds the lock for a walk over the chunks: wait for it
        // rather than answer "changing" when nothing changes.
        FBuffer.FLock.lock();
        FLocked = true;
    }
    FOwns = FLocked && !FBuffer.Changing.load();
}

TEditBuffer::TReadLock::~TReadLock()
{
    if (FLocked)
        FBuffer.FLock.unlock();
}

}  // namespace narvo
