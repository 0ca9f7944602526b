// Pixel conversion: Bayer layouts by known colours, 16-bit scaling, YUV, effects.
#include "camera/imaging/FrameConverter.h"

#include <gtest/gtest.h>

using namespace cam;

namespace {

// A Bayer frame of a flat colour: each site holds the value of its own filter colour.
FrameBuffer flatBayer(int layout, cv::Vec3b bgr, int size = 8)
{
    static const int cell[4][4] = {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 1, 0}, {1, 2, 0, 1}};
    static const PixelFormat formats[4] = {PixelFormat::BayerGB8, PixelFormat::BayerBG8,
                                           PixelFormat::BayerRG8, PixelFormat::BayerGR8};
    FrameBuffer f;
    f.width = f.height = size;
    f.format = formats[layout];
    f.data.resize(size * size);
    f.size = f.data.size();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            f.data[y * size + x] = bgr[cell[layout][(x & 1) + 2 * (y & 1)]];
    return f;
}

} // namespace

class BayerLayouts : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(BayerLayouts, AFlatColourComesBackAsThatColour)
{
    const auto [layout, algorithm] = GetParam();
    const cv::Vec3b colour(30, 90, 210);  // blue, green, red
    FrameBuffer f = flatBayer(layout, colour);
    ImageSettings s;
    s.bayerConversion = true;
    s.bayerLayout = layout;
    s.bayerAlgorithm = algorithm;
    cv::Mat out;
    convertToBgr(f, s, out);
    ASSERT_EQ(out.type(), CV_8UC3);
    cv::Vec3b centre = out.at<cv::Vec3b>(4, 4);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(centre[c], colour[c], 2) << "layout " << layout << " algorithm " << algorithm;
}

INSTANTIATE_TEST_SUITE_P(AllLayoutsAndAlgorithms, BayerLayouts,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(1, 4)));

// Shown smaller, a frame is converted at reduced size (cell by cell at half size or less):
// every layout must keep its colour on each path, including the vector loop's tail.
class ShrunkBayerLayouts : public ::testing::TestWithParam<int> {};

TEST_P(ShrunkBayerLayouts, AFlatColourKeepsItsColourAtEverySizeShown)
{
    const int layout = GetParam();
    const cv::Vec3b colour(30, 90, 210);
    FrameBuffer f = flatBayer(layout, colour, 70);
    ImageSettings s;
    s.bayerConversion = true;
    s.bayerLayout = layout;
    for (const cv::Size shown : {cv::Size(35, 35), cv::Size(17, 17), cv::Size(40, 40), cv::Size(50, 50)}) {
        cv::Mat out;
        convertForDisplay(f, s, shown, out);
        ASSERT_EQ(out.size(), shown);
        ASSERT_EQ(out.type(), CV_8UC4);
        // The border of a full demosaic is not exact; the inside must be.
        const cv::Mat inside = out(cv::Rect(2, 2, shown.width - 4, shown.height - 4));
        std::vector<cv::Mat> planes;
        cv::split(inside, planes);
        for (int c = 0; c < 3; ++c) {
            double lo, hi;
            cv::minMaxLoc(planes[c], &lo, &hi);
            EXPECT_NEAR(lo, colour[c], 2) << "layout " << layout << " width " << shown.width;
            EXPECT_NEAR(hi, colour[c], 2) << "layout " << layout << " width " << shown.width;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ShrunkBayerLayouts, ::testing::Range(0, 4));

TEST(FrameConverter, AShrunkFrameIsAveragedAndAFrameShownWholeKeepsItsPixels)
{
    FrameBuffer f;  // one-pixel black and white stripes
    f.width = f.height = 64;
    f.format = PixelFormat::Mono8;
    f.data.resize(64 * 64);
    f.size = f.data.size();
    for (size_t i = 0; i < f.data.size(); ++i)
        f.data[i] = (i % 2) ? 255 : 0;
    cv::Mat out, grey;
    convertForDisplay(f, ImageSettings{}, cv::Size(16, 16), out);
    cv::extractChannel(out, grey, 1);
    double lo, hi;
    cv::minMaxLoc(grey, &lo, &hi);
    EXPECT_GE(lo, 126);  // each shown pixel the mean of four stripes
    EXPECT_LE(hi, 129);
    convertForDisplay(f, ImageSettings{}, cv::Size(64, 64), out);
    cv::extractChannel(out, grey, 1);
    cv::minMaxLoc(grey, &lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 255);
}

TEST(FrameConverter, WithoutBayerConversionARawFrameShowsGrey)
{
    FrameBuffer f = flatBayer(3, cv::Vec3b(30, 90, 210));
    cv::Mat out;
    convertToBgr(f, ImageSettings{}, out);
    cv::Vec3b p = out.at<cv::Vec3b>(0, 1);  // a red site of GR/BG
    EXPECT_EQ(p, cv::Vec3b(210, 210, 210));
}

TEST(FrameConverter, SixteenBitFramesScaleByTheirSignificantBits)
{
    FrameBuffer f;
    f.width = 2;
    f.height = 1;
    f.format = PixelFormat::Mono16;
    f.bits = 12;
    f.data = {0xff, 0x0f, 0x00, 0x08};  // 4095 and 2048, little endian
    f.size = 4;
    cv::Mat out;
    convertToBgr(f, ImageSettings{}, out);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 0)[0], 255);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 1)[0], 128);
    f.bits = 10;
    f.data = {0xff, 0x03, 0x00, 0x02};  // 1023 and 512
    convertToBgr(f, ImageSettings{}, out);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 0)[0], 255);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 1)[0], 128);
    convertForDisplay(f, ImageSettings{}, cv::Size(1, 1), out);  // scaled, then averaged
    EXPECT_NEAR(out.at<cv::Vec4b>(0, 0)[1], (255 + 128) / 2, 1);
}

TEST(FrameConverter, YuvGreyStaysGreyAndEffectsApplyInOrder)
{
    FrameBuffer f;
    f.width = 2;
    f.height = 2;
    f.format = PixelFormat::YUV422Packed;
    f.data = {128, 100, 128, 100, 128, 200, 128, 200};  // U Y V Y per row
    f.size = f.data.size();
    cv::Mat out;
    convertToBgr(f, ImageSettings{}, out);
    EXPECT_NEAR(out.at<cv::Vec3b>(0, 0)[0], 100, 3);
    EXPECT_NEAR(out.at<cv::Vec3b>(1, 0)[2], 200, 3);
    ImageSettings flipNegative;
    flipNegative.flip = true;
    flipNegative.negative = true;
    convertToBgr(f, flipNegative, out);
    EXPECT_NEAR(out.at<cv::Vec3b>(0, 0)[0], 255 - 200, 3);  // bottom row on top, inverted
    convertForDisplay(f, flipNegative, cv::Size(1, 1), out);  // converted whole, averaged, inverted
    EXPECT_NEAR(out.at<cv::Vec4b>(0, 0)[2], 255 - 150, 3);
}

TEST(FrameConverter, ASixteenBitFrameAfterAnEightBitOneLeavesThatFrameAlone)
{
    FrameBuffer mono;
    mono.width = 4;
    mono.height = 2;
    mono.format = PixelFormat::Mono8;
    mono.data.assign(8, 7);
    mono.size = 8;
    FrameBuffer deep = mono;
    deep.format = PixelFormat::Mono16;
    deep.bits = 12;
    deep.data.assign(16, 0xff);
    deep.size = 16;
    cv::Mat out;
    convertForDisplay(mono, ImageSettings{}, out);
    convertForDisplay(deep, ImageSettings{}, out);  // once wrote its result into mono's buffer
    EXPECT_EQ(mono.data, std::vector<uint8_t>(8, 7));
}
