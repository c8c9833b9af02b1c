// The keys of a stand-alone editor, sent as Qt key events: every row of the three
// key maps, the key-down keys, the quote-next key, Ctrl+@, read-only editors,
// single-line editors, Tab, shortcuts, input-method commits and the events an
// owner sees first.
#include "EditorTestHelpers.h"
#include "platform/Clipboard.h"

#include <QAction>
#include <QInputMethodEvent>
#include <functional>

namespace narvo::testing {
namespace {

constexpr auto None = Qt::NoModifier;
constexpr auto Sh = Qt::ShiftModifier;
constexpr auto Ct = Qt::ControlModifier;

struct TKey {
    int Key;
    Qt::KeyboardModifiers Mods = Qt::NoModifier;
};
TKey C(char Letter, Qt::KeyboardModifiers More = Qt::NoModifier) { return TKey{Qt::Key_A + (Letter - 'A'), Ct | More}; }
const TKey QuoteNext{Qt::Key_AsciiCircum, Ct | Sh};

void Send(TScrollEditor* E, const std::vector<TKey>& Keys)
{
    for (const TKey& K : Keys)
        QTest::keyClick(E, static_cast<Qt::Key>(K.Key), K.Mods);
}

std::string Joined(const TScrollEditor& E) { return E.Strings->JoinLines('|'); }

std::vector<std::string> Split(const std::string& Joined)
{
    std::vector<std::string> L(1);
    for (char Ch : Joined) {
        if (Ch == '|')
            L.emplace_back();
        else
            L.back().push_back(Ch);
    }
    return L;
}

struct TKeyCase {
    const char* Name;
    TKeyMapping Map;
    const char* Lines;
    TPoint Cursor;
    std::vector<TKey> Keys;
    const char* After;
    TPoint CursorAfter;
    TRect Mark{};  // empty: nothing marked before the keys
    const char* ClipAfter = nullptr;  // checked when given
    std::function<void(TScrollEditor&)> Check = nullptr;
};

class KeyMaps : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(KeyMaps, Row)
{
    const TKeyCase& K = GetParam();
    EditorHost Host(Split(K.Lines));
    TScrollEditor* E = Host.Editor;
    E->SetStandAlone(true);
    E->SetKeyMapping(K.Map);
    TScrollEditor::QuoteNextKey = false;
    E->Cursor->SetPos(K.Cursor);
    E->HighLight->StartPos = TPoint{K.Mark.Left, K.Mark.Top};
    E->HighLight->EndPos = TPoint{K.Mark.Right, K.Mark.Bottom};
    CopyTextToClipboard("clip");
    Send(E, K.Keys);
    EXPECT_EQ(Joined(*E), K.After);
    EXPECT_EQ(E->Cursor->Pos(), K.CursorAfter);
    if (K.ClipAfter) {
        EXPECT_EQ(GetClipboardText(), K.ClipAfter);
    }
    if (K.Check)
        K.Check(*E);
    EXPECT_FALSE(TScrollEditor::QuoteNextKey);
}

const TRect Ab{0, 0, 2, 0};  // "ab" marked

INSTANTIATE_TEST_SUITE_P(
    Nrv, KeyMaps,
    ::testing::Values(
        TKeyCase{"A_Right", kmNRV, "ab", {0, 0}, {C('A')}, "ab", {1, 0}},
        TKeyCase{"B_WordLeft", kmNRV, "ab cd", {4, 0}, {C('B')}, "ab cd", {3, 0}, Ab,
                 nullptr, [](TScrollEditor& E) { EXPECT_TRUE(E.HighLight->Empty()); }},
        TKeyCase{"C_CopiesMark", kmNRV, "ab cd", {5, 0}, {C('C')}, "ab cd", {5, 0}, Ab, "ab"},
        TKeyCase{"C_DeletesWordLeft", kmNRV, "ab cd", {5, 0}, {C('C')}, "ab ", {3, 0}, {}, "clip"},
        TKeyCase{"D_Bottom", kmNRV, "ab|cd", {0, 0}, {C('D')}, "ab|cd", {2, 1}},
        TKeyCase{"E_Top", kmNRV, "ab|cd", {1, 1}, {C('E')}, "ab|cd", {0, 0}},
        TKeyCase{"H_Backspace", kmNRV, "ab", {2, 0}, {C('H')}, "a", {1, 0}},
        TKeyCase{"J_PageDown", kmNRV, "a|b|c", {0, 0}, {C('J')}, "a|b|c", {1, 2}},
        TKeyCase{"K_PageUp", kmNRV, "a|b|c", {0, 2}, {C('K')}, "a|b|c", {0, 0}},
        TKeyCase{"N_WordRight", kmNRV, "ab cd", {0, 0}, {C('N')}, "ab cd", {3, 0}},
        // With Shift the word move grows the highlight Shift+Right began.
        TKeyCase{"ShiftN_GrowsFromTheAnchor", kmNRV, "ab cd", {0, 0}, {{Qt::Key_Right, Sh}, C('N', Sh)}, "ab cd",
                 {3, 0}, {}, nullptr, [](TScrollEditor& E) { EXPECT_EQ(E.GetMarkedText(), "ab "); }},
        TKeyCase{"O_Undo", kmNRV, "ab", {2, 0}, {{Qt::Key_X}, C('O')}, "ab", {2, 0}},
        TKeyCase{"ShiftO_Redo", kmNRV, "ab", {2, 0}, {{Qt::Key_X}, C('O'), C('O', Sh)}, "abx", {3, 0}},
        TKeyCase{"Q_Left", kmNRV, "ab", {1, 0}, {C('Q')}, "ab", {0, 0}},
        TKeyCase{"S_NextLineStart", kmNRV, "ab|cd", {1, 0}, {C('S')}, "ab|cd", {0, 1}},
        TKeyCase{"T_ShowAll", kmNRV, "ab", {0, 0}, {C('T')}, "ab", {0, 0}, {}, nullptr,
                 [](TScrollEditor& E) { EXPECT_TRUE(E.ShowAll()); }},
        TKeyCase{"U_Indent", kmNRV, "  ab|cd", {0, 1}, {C('U')}, "  ab|  cd", {2, 1}},
        TKeyCase{"V_Paste", kmNRV, "ab", {1, 0}, {C('V')}, "aclipb", {5, 0}},
        TKeyCase{"W_LineStart", kmNRV, "ab|cd", {2, 1}, {C('W')}, "ab|cd", {0, 1}},
        TKeyCase{"X_CutsMark", kmNRV, "ab cd", {0, 0}, {C('X')}, " cd", {0, 0}, Ab, "ab"},
        TKeyCase{"X_ToLineStart", kmNRV, "ab cd", {3, 0}, {C('X')}, "cd", {0, 0}, {}, "clip"},
        TKeyCase{"X_Column0TakesLineAbove", kmNRV, "ab|cd", {0, 1}, {C('X')}, "cd", {0, 0}},
        TKeyCase{"ShiftX_ToLineEnd", kmNRV, "ab cd", {3, 0}, {C('X', Sh)}, "ab ", {3, 0}},
        TKeyCase{"Z_ToggleCase", kmNRV, "ab", {0, 0}, {C('Z')}, "Ab", {1, 0}},
        TKeyCase{"QuoteThenA", kmNRV, "", {0, 0}, {QuoteNext, C('A')}, "\x01", {1, 0}},
        TKeyCase{"QuoteThenQuote", kmNRV, "", {0, 0}, {QuoteNext, QuoteNext}, "\x1e", {1, 0}},
        TKeyCase{"Unlisted_F_Tab_Esc", kmNRV, "", {0, 0}, {C('F'), {Qt::Key_Tab}, {Qt::Key_Escape}}, "\x06\t\x1b",
                 {3, 0}},
        TKeyCase{"Enter_Breaks", kmNRV, "ab", {1, 0}, {{Qt::Key_Return}}, "a|b", {0, 1}},
        TKeyCase{"Printable", kmNRV, "", {0, 0}, {{Qt::Key_B}, {Qt::Key_1}}, "b1", {2, 0}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    NrvLite, KeyMaps,
    ::testing::Values(
        TKeyCase{"C_CopiesMark", kmNRVLite, "ab cd", {5, 0}, {C('C')}, "ab cd", {5, 0}, Ab, "ab"},
        TKeyCase{"C_DeletesWordLeft", kmNRVLite, "ab cd", {5, 0}, {C('C')}, "ab ", {3, 0}},
        TKeyCase{"H_Backspace", kmNRVLite, "ab", {2, 0}, {C('H')}, "a", {1, 0}},
        TKeyCase{"O_UndoShiftO_Redo", kmNRVLite, "", {0, 0}, {{Qt::Key_X}, {Qt::Key_Y}, C('O'), C('O'), C('O', Sh)},
                 "x", {1, 0}},
        TKeyCase{"V_Paste", kmNRVLite, "", {0, 0}, {C('V')}, "clip", {4, 0}},
        TKeyCase{"X_CutsMark", kmNRVLite, "ab cd", {0, 0}, {C('X')}, " cd", {0, 0}, Ab, "ab"},
        TKeyCase{"X_ToLineStart", kmNRVLite, "ab cd", {3, 0}, {C('X')}, "cd", {0, 0}},
        TKeyCase{"QuoteThenV", kmNRVLite, "", {0, 0}, {QuoteNext, C('V')}, "\x16", {1, 0}},
        TKeyCase{"Unlisted_A_B_Typed", kmNRVLite, "", {0, 0}, {C('A'), C('B'), C('Z')}, "\x01\x02\x1a", {3, 0}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Default, KeyMaps,
    ::testing::Values(
        TKeyCase{"A_SelectAll", kmDefault, "ab|cd", {1, 0}, {C('A')}, "ab|cd", {1, 0}, {}, nullptr,
                 [](TScrollEditor& E) { EXPECT_EQ(E.HighLight->Range(), (TRect{0, 0, 2, 1})); }},
        TKeyCase{"C_CopiesMark", kmDefault, "ab cd", {5, 0}, {C('C')}, "ab cd", {5, 0}, Ab, "ab"},
        TKeyCase{"C_NoMarkDoesNothing", kmDefault, "ab cd", {5, 0}, {C('C')}, "ab cd", {5, 0}, {}, "clip"},
        TKeyCase{"H_Backspace", kmDefault, "ab", {2, 0}, {C('H')}, "a", {1, 0}},
        TKeyCase{"V_Paste", kmDefault, "ab", {2, 0}, {C('V')}, "abclip", {6, 0}},
        TKeyCase{"X_CutsMark", kmDefault, "ab cd", {0, 0}, {C('X')}, " cd", {0, 0}, Ab, "ab"},
        TKeyCase{"X_NoMarkNoLineMode", kmDefault, "ab cd", {3, 0}, {C('X')}, "ab cd", {3, 0}, {}, "clip"},
        TKeyCase{"Z_UndoY_Redo", kmDefault, "", {0, 0}, {{Qt::Key_X}, C('Z'), C('Y')}, "x", {1, 0}},
        TKeyCase{"Esc_Typed", kmDefault, "", {0, 0}, {{Qt::Key_Escape}}, "\x1b", {1, 0}},
        TKeyCase{"Unlisted_B_Typed", kmDefault, "", {0, 0}, {C('B')}, "\x02", {1, 0}},
        TKeyCase{"NoMap_AllTyped", kmNoMap, "", {0, 0}, {C('A'), C('H'), QuoteNext}, "\x01\x08\x1e", {3, 0}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

class StandAlone : public ::testing::Test {
protected:
    void SetUp() override
    {
        E->SetStandAlone(true);
        TScrollEditor::QuoteNextKey = false;
    }
    EditorHost Host{{"ab", "cd", "ef"}};
    TScrollEditor* E = Host.Editor;
};

TEST_F(StandAlone, CtrlAtTypesExactlyOneNul)
{
    for (TKeyMapping M : {kmDefault, kmNRV, kmNRVLite, kmNoMap}) {
        E->SetStrings({""});
        E->Cursor->SetPos(TPoint{0, 0});
        E->SetKeyMapping(M);
        Send(E, {{Qt::Key_2, Ct | Sh}, {Qt::Key_At, Ct | Sh}});
        EXPECT_EQ((*E->Strings)[0], std::string(2, '\0')) << int(M);
    }
}

TEST_F(StandAlone, KeyDownKeysAndSingleLineStyle)
{
    E->Cursor->SetPos(TPoint{1, 1});
    Send(E, {{Qt::Key_Down}, {Qt::Key_Right}});
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{2, 2}));
    Send(E, {{Qt::Key_Home}});
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{0, 0}));  // the text's start, not the line's
    Send(E, {{Qt::Key_End}});
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{2, 2}));
    Send(E, {{Qt::Key_Up}, {Qt::Key_Left}, {Qt::Key_Delete}});
    EXPECT_EQ(Joined(*E), "ab|c|ef");
    Send(E, {{Qt::Key_Insert}, {Qt::Key_Left}, {Qt::Key_Z}});
    EXPECT_TRUE(E->Overwrite);
    EXPECT_EQ(Joined(*E), "ab|z|ef");

    E->SetEditorStyle(esSingleLine);
    E->Cursor->SetPos(TPoint{1, 1});
    Send(E, {{Qt::Key_Home}, {Qt::Key_End}, {Qt::Key_PageUp}, {Qt::Key_PageDown}, {Qt::Key_Up}, {Qt::Key_Down}});
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{1, 1}));
    EXPECT_EQ(Joined(*E), "ab|z|ef");
    E->Overwrite = false;
    Send(E, {{Qt::Key_Return}});  // a CR within the one line
    EXPECT_EQ(Joined(*E), "ab|z\r|ef");
}

TEST_F(StandAlone, ReadOnlyBlocksChangesButNotUndo)
{
    E->SetKeyMapping(kmNRV);
    E->Cursor->SetPos(TPoint{2, 0});
    Send(E, {{Qt::Key_X}});
    E->SetReadOnly(true);
    CopyTextToClipboard("clip");
    Send(E, {{Qt::Key_Y}, C('H'), C('V'), C('U'), C('Z'), {Qt::Key_Delete}, C('X'), C('C'),
             {Qt::Key_2, Ct | Sh}});
    EXPECT_EQ(Joined(*E), "abx|cd|ef");
    Send(E, {C('O')});
    EXPECT_EQ(Joined(*E), "ab|cd|ef");
    Send(E, {C('O', Sh)});
    EXPECT_EQ(Joined(*E), "abx|cd|ef");
    E->SetKeyMapping(kmDefault);
    Send(E, {C('Z')});
    EXPECT_EQ(Joined(*E), "ab|cd|ef");
    // Cutting a mark in a read-only editor copies it.
    E->HighLight->StartPos = TPoint{0, 1};
    E->HighLight->EndPos = TPoint{2, 1};
    Send(E, {C('X')});
    EXPECT_EQ(GetClipboardText(), "cd");
    EXPECT_EQ(Joined(*E), "ab|cd|ef");
}

TEST_F(StandAlone, CutKeyOnFoundMatchCopiesItAndDeletesNothing)
{
    E->SetKeyMapping(kmNRV);
    E->Cursor->SetPos(TPoint{0, 1});
    ASSERT_TRUE(E->FindNext("d"));
    Send(E, {C('X')});
    EXPECT_EQ(GetClipboardText(), "d");
    EXPECT_EQ(Joined(*E), "ab|cd|ef");
    EXPECT_TRUE(E->HighLight->Empty());
}

TEST_F(StandAlone, FindMarkForwardAndBackward)
{
    E->SetStrings({"foo bar Foo food", "foo"});
    E->Cursor->SetPos(TPoint{1, 0});
    Send(E, {{Qt::Key_F10, Ct}});  // the word at the cursor, whole word, any case
    EXPECT_EQ(E->HighLight->Range(), (TRect{8, 0, 11, 0}));
    EXPECT_TRUE(E->HighLight->Found);
    EXPECT_TRUE(E->Searcher->IgnoreCase && E->Searcher->WholeWord);
    Send(E, {{Qt::Key_F10, Ct}});
    EXPECT_EQ(E->HighLight->Range(), (TRect{0, 1, 3, 1}));
    Send(E, {{Qt::Key_F9, Ct}});
    EXPECT_EQ(E->HighLight->Range(), (TRect{8, 0, 11, 0}));
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{11, 0}));
}

TEST_F(StandAlone, TabIsTypedAndShortcutsDoNotTakeKeys)
{
    auto* Other = new TScrollEditor(&Host.Window);
    Other->setGeometry(0, 200, 100, 50);
    Other->show();
    int Fired = 0;
    auto* Action = new QAction(&Host.Window);
    Action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::Key_Tab)});
    Action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(Action, &QAction::triggered, [&] { ++Fired; });
    Host.Window.addAction(Action);
    Host.Window.activateWindow();
    E->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Host.Window));
    E->SetStrings({""});
    E->Cursor->SetPos(TPoint{0, 0});
    E->SetKeyMapping(kmNoMap);
    Send(E, {{Qt::Key_Tab}, {Qt::Key_A, Ct}});
    EXPECT_EQ((*E->Strings)[0], "\t\x01");
    EXPECT_EQ(Fired, 0);
    EXPECT_TRUE(E->hasFocus());
}

TEST_F(StandAlone, CommittedTextGoesThroughWindows1252)
{
    E->SetStrings({""});
    E->Cursor->SetPos(TPoint{0, 0});
    auto Commit = [&](const char16_t* Text) {
        QInputMethodEvent Event;
        Event.setCommitString(QString::fromUtf16(Text));
        QCoreApplication::sendEvent(E, &Event);
    };
    Commit(u"\u20ac");
    Commit(u"\u0448");
    Commit(u"\u00e9\U0001F600");
    EXPECT_EQ((*E->Strings)[0], "\x80\xe9");
    // A typed character outside Windows-1252 is refused too.
    QKeyEvent Typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"\u0448"));
    QCoreApplication::sendEvent(E, &Typed);
    EXPECT_EQ((*E->Strings)[0], "\x80\xe9");
}

TEST_F(StandAlone, OwnerEventsComeFirst)
{
    std::vector<int> Downs;
    std::string Chars;
    E->OnKeyDown = [&](QObject*, std::uint16_t& Key, Qt::KeyboardModifiers) {
        Downs.push_back(Key);
        if (Key == VK_DOWN)
            Key = 0;  // the owner takes it
    };
    E->OnKeyPress = [&](QObject*, char& Key) {
        Chars += Key;
        if (Key == 27)
            Key = 0;  // the command editor's Esc
        if (Key == 'a')
            Key = 'b';
    };
    E->SetStrings({""});
    E->Cursor->SetPos(TPoint{0, 0});
    Send(E, {{Qt::Key_Escape}, {Qt::Key_A}, {Qt::Key_Down}});
    EXPECT_EQ((*E->Strings)[0], "b");
    EXPECT_EQ(E->Cursor->Pos(), (TPoint{1, 0}));
    EXPECT_EQ(Chars, "\x1b" "a");
    EXPECT_EQ(Downs, (std::vector<int>{VK_ESCAPE, 'A', VK_DOWN}));

    // Not stand-alone: only the events.
    E->SetStandAlone(false);
    Send(E, {{Qt::Key_C}, {Qt::Key_Left}});
    EXPECT_EQ((*E->Strings)[0], "b");
    EXPECT_EQ(Chars, "\x1b" "ac");
}

}  // namespace
}  // namespace narvo::testing
