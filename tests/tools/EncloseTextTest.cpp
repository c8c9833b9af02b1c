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
