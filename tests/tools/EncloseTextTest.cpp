// Enclose Text: the pair built from the ticked items (nesting, line breaks), the
// wrap of a highlight or the cursor as one undo step, and the dialog's reset.
#include "tools/EncloseText.h"

#include "engine/FakeEditor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace narvo {
namespace {

struct TPairCase {
    std::vector<int> Ticked;
    bool CRLFBefore, CRLFAfter;
    const char* Before;
    const char* After;
};

TEST(EnclosePair, BuildsNestedPairsInListOrder)
{
    const TPairCase Cases[] = {
        {{0}, false, false, "\"", "\""},
        {{0, 2}, false, false, "\"(", ")\""},
        {{2, 0}, false, false, "\"(", ")\""},  // list order, not tick order
        {{}, false, false, "", ""},
        {{9}, true, true, "begin\r\n", "end\r\n"},
        {{5, 6, 8}, false, true, "<b><i><blockquote>", "</blockquote></i></b>\r\n"},
    };
    for (const TPairCase& C : Cases) {
        std::array<bool, EnclosePairCount> On{};
        for (int I : C.Ticked)
            On[I] = true;
        const TEnclosePair P = BuildEnclosePair(On, C.CRLFBefore, C.CRLFAfter);
        EXPECT_EQ(P.Before, C.Before);
        EXPECT_EQ(P.After, C.After);
    }
}

TEST(EncloseWrap, ReplacesTheHighlightOrInsertsAtTheCursor)
{
    test::TFakeEditor E;
    E.SetLines("say x now");
    E.HighLight->StartPos = {4, 0};
    E.HighLight->EndPos = {5, 0};
    WrapSelection(E, "\"(", ")\"");
    EXPECT_EQ(E.Lines(), "say \"(x)\" now");
    E.Undo();
    EXPECT_EQ(E.Lines(), "say x now");

    E.ClearMark();
    E.GotoPos({3, 0});
    WrapSelection(E, "[", "]");
    EXPECT_EQ(E.Lines(), "say[] x now");

    // Nothing ticked: the highlight is replaced by itself.
    E.SetLines("abc");
    E.HighLight->StartPos = {0, 0};
    E.HighLight->EndPos = {3, 0};
    WrapSelection(E, "", "");
    EXPECT_EQ(E.Lines(), "abc");
}

TEST(EncloseWrap, EnclosesEachLinesPartOfAColumnBlockAsOneUndoStep)
{
    struct TCase {
        const char* Name;
        const char* Lines;
        TPoint Start, End;
        const char* Before;
        const char* After;
        const char* Expected;
    };
    const TCase Cases[] = {
        {"block", "xabcx|ydefy|zghiz", {1, 0}, {3, 2}, "(", ")", "x(ab)cx|y(de)fy|z(gh)iz"},
        {"marked upwards from the right", "xabcx|ydefy|zghiz", {3, 2}, {1, 0}, "<b>", "</b>",
         "x<b>ab</b>cx|y<b>de</b>fy|z<b>gh</b>iz"},
        {"past the line ends; a line with nothing in the block stays", "xab|y|zghiz", {1, 0}, {5, 2}, "'", "'",
         "x'ab'|y|z'ghiz'"},
        {"a line break of the pair stays on its line as a blank", "xay|xby", {1, 0}, {2, 1}, "begin\r\n",
         "end\r\n", "xbegin aend y|xbegin bend y"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        test::TFakeEditor E;
        E.SetLines(C.Lines);
        E.HighLight->StartPos = C.Start;
        E.HighLight->EndPos = C.End;
        E.Cursor->SetPos(C.End);
        E.Cursor->ColumnBlock = true;
        WrapSelection(E, C.Before, C.After);
        EXPECT_EQ(E.Lines(), C.Expected);
        EXPECT_TRUE(E.Cursor->ColumnBlock);
        EXPECT_EQ(E.UndoAll(), 1);
        EXPECT_EQ(E.Lines(), C.Lines);
    }
    // Nothing to add: no change and no undo step.
    test::TFakeEditor E;
    E.SetLines("xabcx|ydefy");
    E.HighLight->EndPos = {2, 1};
    E.Cursor->ColumnBlock = true;
    WrapSelection(E, "", "");
    EXPECT_EQ(E.Lines(), "xabcx|ydefy");
    EXPECT_EQ(E.UndoAll(), 0);
}

TEST(EncloseWrap, EnclosesAShownSearchMatchInsteadOfWritingBesideIt)
{
    test::TFakeEditor E;
    E.SetLines("say x now");
    ASSERT_TRUE(E.FindNext("x"));
    ASSERT_TRUE(E.HighLight->Found);
    WrapSelection(E, "(", ")");
    EXPECT_EQ(E.Lines(), "say (x) now");
    E.Undo();
    EXPECT_EQ(E.Lines(), "say x now");
}

TEST(EncloseDlg, StartsWithDoubleQuotesAndResets)
{
    test::TFakeEditor E;
    int Glyphs = 0;
    TEncloseDlg D({[&]() -> TEditorEngine* { return &E; }, [&](const QPixmap& G) {
                       ++Glyphs;
                       EXPECT_GT(G.width(), 4);
                   }});
    EXPECT_EQ(CurrentEnclosePair().Before, "\"");
    EXPECT_GE(Glyphs, 1);
    D.SetTicked(0, false);
    D.SetTicked(9, true);
    D.CRLFBeforeChk->setChecked(true);
    D.CRLFAfterChk->setChecked(true);
    E.SetLines("word");
    E.HighLight->StartPos = {0, 0};
    E.HighLight->EndPos = {4, 0};
    D.ApplyBtnClick();
    EXPECT_EQ(E.Lines(), "begin|wordend|");
    EXPECT_EQ(D.BeforeDis->text(), "begin");  // shown without the line break

    // A submenu pair encloses with its own strings and leaves the dialog's pair.
    E.SetLines("k");
    E.HighLight->StartPos = {0, 0};
    E.HighLight->EndPos = {1, 0};
    D.EnclosePairNow("{", "}");
    EXPECT_EQ(E.Lines(), "{k}");
    EXPECT_EQ(CurrentEnclosePair().Before, "begin\r\n");

    D.ResetBtnClick();
    EXPECT_TRUE(D.Ticked(0));
    EXPECT_FALSE(D.Ticked(9));
    EXPECT_EQ(D.AfterDis->text(), "\"");
}

}  // namespace
}  // namespace narvo
