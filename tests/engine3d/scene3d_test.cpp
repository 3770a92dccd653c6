#include <gtest/gtest.h>

#include <vector>

#include "engine3d/scene3d.h"
#include "render3d/render.h"
#include "script/script.h"

namespace {
// Slots without geometry: the choreography runs, nothing is drawn.
class Scene3dTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = std::vector<Object3d>(object, object + 32);
        for (Object3d& o : object)
            o = Object3d{};
        objnpls_ = objnpls;
        objnlns_ = objnlns;
        objnpls = 805;
        objnlns = 1234;
        signal3d = 0;
        RenderMode = 99;
    }
    void TearDown() override {
        std::copy(saved_.begin(), saved_.end(), object);
        objnpls = objnpls_;
        objnlns = objnlns_;
        signal3d = 0;
        prticks = 0;
    }
    Object3d& At(int32_t scene, int32_t t, int slot) {
        prticks = t;
        RunScene3d(frame.data(), scene);
        return object[slot];
    }
    std::vector<uint16_t> frame = std::vector<uint16_t>(76800);

  private:
    std::vector<Object3d> saved_;
    int32_t objnpls_ = 0, objnlns_ = 0;
};
} // namespace

TEST_F(Scene3dTest, UnknownScenesDoNothing) {
    for (Object3d& o : object)
        o.ax = o.px = 7.0f;
    for (int32_t scene : {5, 7, 15, 17, 21, 23, 25, -1}) {
        prticks = 1000;
        RunScene3d(frame.data(), scene);
    }
    for (const Object3d& o : object) {
        EXPECT_EQ(o.ax, 7.0f);
        EXPECT_EQ(o.px, 7.0f);
    }
    EXPECT_EQ(RenderMode, 99);
}

TEST_F(Scene3dTest, BallGridSlidesInAndOut) {
    EXPECT_EQ(At(0, 11592, 0).px, -320.0f);
    EXPECT_EQ(At(0, 11593, 0).px, static_cast<float>(1.0 / 12.0 - 320.0));
    EXPECT_EQ(At(0, 15432, 0).px, 0.0f);
    EXPECT_EQ(At(0, 23552, 0).px, 0.0f);
    EXPECT_EQ(At(0, 23553, 0).px, 0.125f);
    EXPECT_EQ(object[0].az, static_cast<float>(23553.0 / 180.0 / 3.14151693));
    EXPECT_EQ(object[0].ax, static_cast<float>(0.5 * 23553.0 / 180.0 / 3.14151693));
    EXPECT_EQ(RenderMode, 0);
}

TEST_F(Scene3dTest, FaceCountsAndPasses) {
    EXPECT_EQ(At(3, 6656, 1).nlns, 0);
    EXPECT_EQ(RenderMode, 2);
    EXPECT_EQ(At(3, 6657, 1).nlns, 0);
    EXPECT_EQ(At(3, 8704, 1).nlns, 617);
    EXPECT_EQ(At(3, 10752, 1).nlns, 1234);
    EXPECT_EQ(At(3, 13184, 1).npls, 805);
    EXPECT_EQ(RenderMode, 4);
    EXPECT_EQ(At(3, 13185, 1).npls, 0);
    EXPECT_EQ(RenderMode, 4);
    EXPECT_EQ(At(3, 21376, 1).npls, 805);
    EXPECT_EQ(RenderMode, 4);
    EXPECT_EQ(object[1].py, 12.0f);
    EXPECT_EQ(object[1].pz, 128.0f);
    RenderMode = 99;
    At(3, 30000, 1); // the sweep goes through RenderSpecial, which leaves the mode alone
    EXPECT_EQ(RenderMode, 99);
    EXPECT_EQ(At(3, 45880, 1).npls, 804);
    EXPECT_EQ(RenderMode, 8);
    RenderMode = 99;
    EXPECT_EQ(At(3, 47927, 1).npls, 0);
    EXPECT_EQ(RenderMode, 99); // no polygons left: the Gouraud pass is skipped
}

TEST_F(Scene3dTest, CubeSphereAndCylinderWindows) {
    EXPECT_EQ(At(4, 10240, 4).px, 0.0f);
    EXPECT_EQ(At(4, 10246, 4).px, 1.0f);
    EXPECT_EQ(RenderMode, 128);

    EXPECT_EQ(At(16, 0, 16).px, -760.0f);
    EXPECT_EQ(object[16].pz, 768.0f);
    EXPECT_EQ(At(16, 7168, 16).pz, 576.0f);
    EXPECT_EQ(At(16, 8192, 16).pz, 384.0f);
    EXPECT_EQ(object[16].px, 0.0f);
    EXPECT_EQ(RenderMode, 64);

    object[20].pz = 5.0f;
    At(20, 16384, 20);
    EXPECT_EQ(object[20].pz, 5.0f); // returns before writing anything
    EXPECT_NEAR(At(20, 16383, 20).pz, 8508.0f, 1.0f);
    EXPECT_EQ(RenderMode, 32);

    EXPECT_NEAR(At(24, 2047, 24).pz, 186.0909f, 0.001f);
    EXPECT_EQ(object[24].ax, -1.5707585f);
    At(24, 2048, 24);
    EXPECT_NEAR(object[24].pz, 186.0909f, 0.001f); // keeps the last frame's depth
    EXPECT_EQ(At(24, 14336, 24).ay, 0.0f);
    EXPECT_EQ(At(24, 24576, 24).ax, 0.0f);
    EXPECT_EQ(signal3d, 0);
    At(24, 40448, 24);
    EXPECT_EQ(signal3d, 1);
    EXPECT_EQ(RenderMode, 16); // still drawn
}
