// Names edited through their shown text keep the bytes the user did not edit.
#include "platform/TextConvert.h"

#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(EditedFileName, KeepsTheBytesAroundTheEdit)
{
    const std::string Latin = "caf\xE9.txt";
    const QString Shown = FileNameToQString(Latin);
    EXPECT_EQ(EditedFileName(Latin, Shown), Latin);
    EXPECT_EQ(EditedFileName(Latin, Shown + "2"), Latin + "2");
    EXPECT_EQ(EditedFileName(Latin, "t" + Shown.mid(1)), "taf\xE9.txt");
    EXPECT_EQ(EditedFileName(Latin, Shown.left(4) + ".c"), "caf\xE9.c");
    // The replaced character itself, when edited, takes the new text's bytes.
    EXPECT_EQ(EditedFileName(Latin, QStringLiteral("caf\u00e9.txt")), "caf\xC3\xA9.txt");
    EXPECT_EQ(EditedFileName("\xE9\xE9", FileNameToQString("\xE9\xE9").left(1)), "\xE9");
    EXPECT_EQ(EditedFileName("plain.txt", "plain.md"), "plain.md");
    EXPECT_EQ(EditedFileName("", "new"), "new");
}

}  // namespace
}  // namespace narvo
