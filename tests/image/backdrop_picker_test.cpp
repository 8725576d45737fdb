#include <gtest/gtest.h>

#include "image/backdrop_picker.h"

namespace {

TEST(BackdropPicker, OpensOnTheRowOfTheChosenBackdrop)
{
    const struct {
        int background;
        int firstVisible;
        int position;
    } cases[] = {{58, 52, 13}, {9, 8, 2}, {0, 0, 0}, {55, 52, 13}, {77, 0, 0}};
    for (const auto& c : cases) {
        BackdropPicker picker;
        picker.open(c.background);
        EXPECT_EQ(picker.firstVisible, c.firstVisible) << c.background;
        EXPECT_EQ(picker.scrollPosition(), c.position) << c.background;
        EXPECT_EQ(picker.backdropInBox(7), c.firstVisible + 7);
    }
}

TEST(BackdropPicker, ScrollsByRowsAndStaysInRange)
{
    const struct {
        int start;
        ScrollRequest request;
        int thumb;
        int expected;
    } cases[] = {
        {12, ScrollRequest::PageDown, 0, 13},     {0, ScrollRequest::LineUp, 0, 0},
        {5, ScrollRequest::LineDown, 0, 6},       {5, ScrollRequest::PageUp, 0, 3},
        {1, ScrollRequest::PageUp, 0, 0},         {13, ScrollRequest::LineDown, 0, 13},
        {3, ScrollRequest::ThumbPosition, 9, 9},  {3, ScrollRequest::ThumbTrack, 40, 13},
        {3, ScrollRequest::EndScroll, 0, 3},      {3, ScrollRequest::Bottom, 0, 13},
        {3, ScrollRequest::Top, 0, 0},
    };
    for (const auto& c : cases) {
        BackdropPicker picker;
        picker.open(4 * c.start);
        picker.scroll(c.request, c.thumb);
        EXPECT_EQ(picker.scrollPosition(), c.expected) << "from " << c.start << " request " << int(c.request);
        EXPECT_EQ(picker.firstVisible, 4 * c.expected);
    }
}

TEST(BackdropPicker, ClickChoosesCancelRestoresCloseKeeps)
{
    BackdropPicker picker;
    picker.open(9);
    EXPECT_TRUE(picker.isFramed(1));
    picker.scroll(ScrollRequest::LineDown);
    picker.clickBox(5); // backdrop 12 + 5
    EXPECT_EQ(picker.background, 17);
    EXPECT_TRUE(picker.isFramed(5));
    EXPECT_FALSE(picker.isFramed(1));
    picker.cancel();
    EXPECT_EQ(picker.background, 9);

    picker.open(9);
    picker.clickBox(3);
    picker.clickBox(8); // no such box
    EXPECT_EQ(picker.background, 11) << "closing keeps the clicked backdrop";
}

} // namespace
