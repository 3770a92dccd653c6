#include "encoding.h"

#include <gtest/gtest.h>

#include "headless/options.h"

using capture::ChooseVideoFormat;
using capture::Placement;
using capture::PlacePicture;

TEST(Encoding, ThePictureAtTheLargestWholeScaleCentredOnBlack) {
    EXPECT_EQ(PlacePicture({640, 480}), (Placement{640, 480, 2, 0, 0}));
    EXPECT_EQ(PlacePicture({1280, 720}), (Placement{1280, 720, 3, 160, 0}));
    EXPECT_EQ(PlacePicture({1920, 1080}), (Placement{1920, 1080, 4, 320, 60}));
    EXPECT_EQ(PlacePicture({2560, 1440}), (Placement{2560, 1440, 6, 320, 0}));
    EXPECT_EQ(PlacePicture({3840, 2160}), (Placement{3840, 2160, 9, 480, 0}));
    EXPECT_EQ(PlacePicture({320, 240}), (Placement{320, 240, 1, 0, 0}));
}

TEST(Encoding, FormatFollowsTheOptions) {
    headless::Options o;
    o.video = "show.MP4";
    o.step = 40;
    const capture::VideoFormat upload = ChooseVideoFormat(o);
    EXPECT_FALSE(upload.lossless);
    EXPECT_EQ(upload.place, (Placement{640, 480, 2, 0, 0})); // the window's doubled picture
    EXPECT_EQ(upload.container, "mp4");
    EXPECT_EQ(upload.step, 40u);

    o.video = "master.mkv";
    o.lossless = true;
    const capture::VideoFormat master = ChooseVideoFormat(o);
    EXPECT_TRUE(master.lossless);
    EXPECT_EQ(master.place, (Placement{320, 240, 1, 0, 0})); // the frames as drawn
    EXPECT_EQ(master.container, "matroska");
    o.size = {1920, 1080};
    EXPECT_EQ(ChooseVideoFormat(o).place.scale, 4u);
}
