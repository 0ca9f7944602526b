// molvane-stages: each stage of the frame path in megapixels per second, beside the plain
// OpenCV call it builds on, so a regression shows as a ratio (Google Benchmark).
#include "analysis/FrameAnalysis.h"
#include "camera/imaging/FrameConverter.h"
#include "camera/sim/TestPattern.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kW = 1920, kH = 1200;

cam::FrameBuffer frameOf(cam::PixelFormat format, int bits = 8)
{
    cam::TestPattern p;
    p.configure(format, kW, kH, bits, cam::PatternLook{});
    cam::FrameBuffer f;
    f.data.resize(p.frameBytes());
    p.render(1, f.data.data());
    f.size = p.frameBytes();
    f.width = kW;
    f.height = kH;
    f.format = format;
    f.bits = bits;
    return f;
}

void pixels(benchmark::State &state)
{
    state.SetItemsProcessed(state.iterations() * kW * kH);
    state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * kW * kH / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void DisplayBayerToBgra(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cam::ImageSettings s;
    s.bayerConversion = true;
    cv::Mat out;
    for (auto _ : state)
        cam::convertForDisplay(f, s, out);
    pixels(state);
}

void PlainOpenCvBayerToBgra(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cv::Mat raw = cam::rawView(f), out;
    for (auto _ : state)
        cv::cvtColor(raw, out, cv::COLOR_BayerGB2BGRA);
    pixels(state);
}

// A Bayer frame converted for a window W pixels wide (Fit to Window), as the display paints it:
// converted at reduced size and averaged down.
void DisplayBayerShrunkToFit(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cam::ImageSettings s;
    s.bayerConversion = true;
    const cv::Size size(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * kH / kW);
    cv::Mat out;
    for (auto _ : state)
        cam::convertForDisplay(f, s, size, out);
    pixels(state);
}

// The plain way: demosaic the whole frame, then OpenCV's area averaging.
void PlainOpenCvBayerThenAreaResize(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    const cv::Size size(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * kH / kW);
    cv::Mat raw = cam::rawView(f), bgra, out;
    for (auto _ : state) {
        cv::cvtColor(raw, bgra, cv::COLOR_BayerGB2BGRA);
        cv::resize(bgra, out, size, 0, 0, cv::INTER_AREA);
    }
    pixels(state);
}

void FullRangeUyvyToBgr(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::YUV422Packed);
    cv::Mat raw = cam::rawView(f), out;
    for (auto _ : state)
        cam::uyvyToBgr(raw, out);
    pixels(state);
}

void PlainOpenCvUyvyToBgr(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::YUV422Packed);
    cv::Mat raw = cam::rawView(f), out;
    for (auto _ : state)
        cv::cvtColor(raw, out, cv::COLOR_YUV2BGR_UYVY);
    pixels(state);
}

void Mono16ToEight(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::Mono16, 12);
    cv::Mat raw = cam::rawView(f), out;
    for (auto _ : state)
        cam::toEightBit(raw, 12, out);
    pixels(state);
}

void SimulatedFrame(benchmark::State &state)
{
    cam::TestPattern p;
    p.configure(cam::PixelFormat::BayerGR8, kW, kH, 8, cam::PatternLook{});
    std::vector<uint8_t> out(p.frameBytes());
    uint64_t n = 0;
    for (auto _ : state)
        p.render(++n, out.data());
    pixels(state);
}

} // namespace

// What the analysis worker does with one fed frame when all three viewers are open.
void AnalyseBayerForAllViewers(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cam::ImageSettings s;
    s.bayerConversion = true;
    FeedRequest r;
    r.histogram = true;
    r.row = kH / 2;
    r.column = kW / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(AnalyseFrame(f, s, r));
    pixels(state);
}

// A converted Bayer frame, as the analysis counts it.
cv::Mat bayerAsBgr()
{
    cv::Mat bgr;
    cam::ImageSettings s;
    s.bayerConversion = true;
    cam::convertToBgr(frameOf(cam::PixelFormat::BayerGR8), s, bgr);
    return bgr;
}

void CountChannelsOfBgr(benchmark::State &state)
{
    const cv::Mat bgr = bayerAsBgr();
    ChannelCounts counts;
    for (auto _ : state)
        CountChannels(bgr.ptr<uint8_t>(0), bgr.cols, bgr.rows, bgr.step, counts);
    pixels(state);
}

void PlainOpenCvCalcHistOfBgr(benchmark::State &state)
{
    const cv::Mat bgr = bayerAsBgr();
    const int size = 256;
    const float range[] = {0, 256};
    const float *ranges[] = {range};
    cv::Mat hist;
    for (auto _ : state)
        for (int channel = 0; channel < 3; ++channel)
            cv::calcHist(&bgr, 1, &channel, cv::Mat(), hist, 1, &size, ranges);
    pixels(state);
}

BENCHMARK(AnalyseBayerForAllViewers)->Unit(benchmark::kMillisecond);
BENCHMARK(CountChannelsOfBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvCalcHistOfBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayBayerToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvBayerToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayBayerShrunkToFit)->Arg(1024)->Arg(864)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvBayerThenAreaResize)->Arg(1024)->Arg(864)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(FullRangeUyvyToBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvUyvyToBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(Mono16ToEight)->Unit(benchmark::kMillisecond);
BENCHMARK(SimulatedFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
