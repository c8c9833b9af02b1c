// Loading and saving an editor's text. The whole file is read and cut into lines
// before anything in the pane changes, so a failed load (also one the memory cannot
// hold) leaves text, name, encoding and modified state as they were. Saving writes the text with the line end it was split at (LF for a new
// text), UTF-16 texts in the byte order they came in, so that a text loaded and saved
// unchanged keeps its bytes; it replaces the file only once the new
// bytes are safely on disk beside it; a failure leaves the old file as it was.
#include "engine/TextFiles.h"

#include "engine/EditorEngine.h"
#include "platform/posix/ProcessMemory.h"

#include <new>
#include <stdexcept>

namespace narvo {

namespace {

constexpr char CtrlZ = 0x1A;

}  // namespace

namespace {

// A trailing Ctrl+Z of a text just assigned is dropped in Ctrl+Z mode.
void DropCtrlZ(TEditorEngine& E)
{
    if (!E.CtrlZMode)
        return;
    const std::int64_t Last = E.Strings->Count() - 1;
    const std::string_view L = (*E.Strings)[Last];
    if (!L.empty() && L.back() == CtrlZ) {
        TEditBuffer::TUpdate U(*E.Strings);
        E.Strings->MutableLine(Last).pop_back();
    }
}

}  // namespace

void TEditorEngine::SetText(std::string_view Bytes)
{
    ResetText();
    Strings->SetTextStr(Bytes);
    SpanFromNewText();
    DropCtrlZ(*this);
    UpdateDisplay(true);
}

void TEditorEngine::AdoptText(std::string&& Bytes)
{
    TEditBuffer Prepared;
    Prepared.AdoptText(std::move(Bytes));
    AdoptText(Prepared);
}

void TEditorEngine::AdoptText(TFileBlock&& Bytes)
{
    TEditBuffer Prepared;
    const std::size_t Size = Bytes.Size;
    Bytes.Size = 0;
    Prepared.AdoptText(std::move(Bytes.Data), Size);
    AdoptText(Prepared);
}

void TEditorEngine::AdoptText(TEditBuffer& Prepared)
{
    ResetText();
    Strings->TakeText(Prepared);
    SpanFromNewText();
    DropCtrlZ(*this);
    UpdateDisplay(true);
}

void TEditorEngine::LoadFromFile(const std::string& Name)
{
    // The bytes read become the block the lines view: no copy of the text is made.
    TFileBlock Bytes = ReadFileBlock(Name);
    const auto Size = static_cast<std::int64_t>(Bytes.Size);
    try {
        AdoptText(std::move(Bytes));
    } catch (const std::bad_alloc&) {
        throw EFileError(FileTooLargeText(Name, Size));
    } catch (const std::length_error&) {
        throw EFileError(FileTooLargeText(Name, Size));
    }
    FileName = Name;
}

void TEditorEngine::CheckFileBytes(TFileBytes How) const
{
    if (Strings->Encoding != 0 && Strings->Lossy && How == TFileBytes::Save)
        throw ELossyText("The text holds characters that were replaced by '?' when it was read as UTF-16; "
                         "saving it would change them");
    if (Strings->ChangedLineEnds > 0 && How == TFileBytes::Save)
        throw ELossyText("Some line ends of the text differ from its usual one; saving it would change them");
}

std::string TEditorEngine::FileBytes(TFileBytes How) const
{
    std::string Bytes;
    PutFileBytes(How, [&](std::string_view P) { Bytes.append(P); });
    return Bytes;
}

void TEditorEngine::PutFileBytes(TFileBytes How, const std::function<void(std::string_view)>& Put) const
{
    CheckFileBytes(How);
    Strings->PutFileBytes(How == TFileBytes::Draft, Put);
    if (CtrlZMode) {
        // One whole UTF-16 unit in the text's byte order.
        if (Strings->Encoding == 1)
            Put(std::string_view("\x1A\0", 2));
        else if (Strings->Encoding == 2)
            Put(std::string_view("\0\x1A", 2));
        else
            Put(std::string_view(&CtrlZ, 1));
    }
}

void TEditorEngine::SaveToFile(const std::string& Name, bool AllowLossy)
{
    if (Strings->Encoding != 0 && Strings->Lossy && !AllowLossy)
        throw ELossyText("Cannot save \"" + Name +
                         "\" unchanged: characters of its UTF-16 text were replaced by '?' when it was read");
    if (Strings->ChangedLineEnds > 0 && !AllowLossy)
        throw ELossyText("Cannot save \"" + Name + "\" unchanged: some of its line ends differ from its usual one");
    const std::string Target = ResolveFileLink(Name);
    const TFileBytes How = AllowLossy ? TFileBytes::SaveAgreed : TFileBytes::Save;
    RenameIntoPlace(WriteTempFileFrom(Target, [&](const TPutBytes& Put) { PutFileBytes(How, Put); }), Target);
    FileName = Name;
    // The file now holds the text as it is written, one line end throughout.
    Strings->ChangedLineEnds = 0;
}

}  // namespace narvo
