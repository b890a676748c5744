// The arithmetic of the player list and the characters a name may be typed with.
#include "meta/PlayerSelection.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(PlayerList, SevenProfilesFitAndAnEighthBringsTheHandle) {
    EXPECT_FALSE(ScrollHandleShown(7));
    EXPECT_EQ(MaxScrollOffset(7), 0);
    EXPECT_EQ(ShownRows(7, 0), 7);
    EXPECT_EQ(ShownRows(3, 0), 3);
    EXPECT_EQ(ShownRows(0, 0), 0);

    EXPECT_TRUE(ScrollHandleShown(8));
    EXPECT_EQ(MaxScrollOffset(8), 1);
    EXPECT_EQ(ShownRows(8, 0), 7);
    EXPECT_EQ(ShownRows(8, 1), 7);
    EXPECT_EQ(MaxScrollOffset(15), 8);
}

TEST(PlayerList, TheHandleRunsItsTravelAndStandsForTheOffset) {
    const float bar = 404;
    // Top and bottom of the travel for the first and the last offset.
    EXPECT_FLOAT_EQ(ScrollHandleY(0, 8, bar), bar + 5);
    EXPECT_FLOAT_EQ(ScrollHandleY(1, 8, bar), bar + 118);
    EXPECT_FLOAT_EQ(ScrollHandleY(4, 15, bar), bar + 5 + 113 * 0.5f);
    // Past the end it stays at the bottom; without a range at the top.
    EXPECT_FLOAT_EQ(ScrollHandleY(9, 15, bar), bar + 118);
    EXPECT_FLOAT_EQ(ScrollHandleY(0, 5, bar), bar + 5);

    // Dragged back, every offset comes out of its own handle position.
    for (int offset = 0; offset <= 8; ++offset)
        EXPECT_EQ(ScrollOffsetForHandle(ScrollHandleY(offset, 15, bar), bar, 15), offset);
    // Beyond the travel the offset stays in its range.
    EXPECT_EQ(ScrollOffsetForHandle(bar - 50, bar, 15), 0);
    EXPECT_EQ(ScrollOffsetForHandle(bar + 400, bar, 15), 8);
    EXPECT_EQ(ScrollOffsetForHandle(bar + 60, bar, 6), 0);
}

TEST(PlayerList, ADraggedHandleIsCentredOnThePointerWithinItsTravel) {
    const float bar = 404;
    EXPECT_FLOAT_EQ(DraggedHandleY(bar + 50, 30, bar), bar + 35);
    EXPECT_FLOAT_EQ(DraggedHandleY(0, 30, bar), bar + 5);
    EXPECT_FLOAT_EQ(DraggedHandleY(2000, 30, bar), bar + 118);
}

TEST(PlayerList, TheHoveredRowIsTheLastWhoseAreaHoldsThePointer) {
    const TPoint2 panel{610, 270};
    // Rows are 36 high and 30 apart: where two overlap, the lower one wins.
    EXPECT_EQ(HoveredRow({700, 270 + 110}, panel, 7), 0);
    EXPECT_EQ(HoveredRow({700, 270 + 137}, panel, 7), 1);
    EXPECT_EQ(HoveredRow({700, 270 + 105 + 30 * 6 + 20}, panel, 7), 6);
    // Only rows holding a profile count, and only inside the names' column.
    EXPECT_EQ(HoveredRow({700, 270 + 105 + 30 * 4 + 20}, panel, 3), -1);
    EXPECT_EQ(HoveredRow({610 + 84, 270 + 110}, panel, 7), -1);
    EXPECT_EQ(HoveredRow({610 + 536, 270 + 110}, panel, 7), -1);
    EXPECT_EQ(HoveredRow({700, 270 + 104}, panel, 7), -1);
}

TEST(NameKeys, LettersDigitsAndTheSpacePassAndPunctuationDoesNot) {
    for (char32_t c = U'a'; c <= U'z'; ++c) EXPECT_TRUE(NameKeyAccepted(c));
    for (char32_t c = U'A'; c <= U'Z'; ++c) EXPECT_TRUE(NameKeyAccepted(c));
    for (char32_t c = U'0'; c <= U'9'; ++c) EXPECT_TRUE(NameKeyAccepted(c));
    EXPECT_TRUE(NameKeyAccepted(U' '));
    // Every ASCII punctuation sign and DEL, the quote that would end a file's value included.
    for (char32_t c : std::u32string(U"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\x7F"))
        EXPECT_FALSE(NameKeyAccepted(c)) << static_cast<int>(c);
}

TEST(NameKeys, EveryControlCharacterIsRejectedWhereverItComesFrom) {
    // A name is one line of the profile and of the options: no C0 or C1 control, not even
    // those a key press never makes (tab, line feed, U+0000) but pasting could.
    for (char32_t c = 0; c < 0x20; ++c) EXPECT_FALSE(NameKeyAccepted(c)) << static_cast<int>(c);
    for (char32_t c = 0x80; c <= 0x9F; ++c) EXPECT_FALSE(NameKeyAccepted(c)) << static_cast<int>(c);
}

TEST(NameKeys, LatinOneSignsAreRejectedAndLettersAboveThemPass) {
    for (char32_t c : std::u32string(U"¤¥¦§©«¬\u00AD®¯°±·¹»"))
        EXPECT_FALSE(NameKeyAccepted(c)) << static_cast<int>(c);
    // Signs the list leaves alone.
    for (char32_t c : std::u32string(U"\u00A0¡¢£¨ª²³´µ¶¸º¼½¾¿")) EXPECT_TRUE(NameKeyAccepted(c));
    for (char32_t c : std::u32string(U"ÀÉßäñøÿĀЖλ中")) EXPECT_TRUE(NameKeyAccepted(c));
    // Above U+00BF only what a name can never hold is refused.
    EXPECT_FALSE(NameKeyAccepted(0x2028));
    EXPECT_FALSE(NameKeyAccepted(0xFFFF));
}

} // namespace
} // namespace bw
