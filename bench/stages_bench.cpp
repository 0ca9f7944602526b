// molvane-stages: each stage of the frame path in megapixels per second, beside the plain
// OpenCV call it builds on, so a regression shows as a ratio (Google Benchmark).
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

// The converted frame shrunk to a window W pixels wide (Fit to Window), as the display paints it.
void DisplayShrinkToFit(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cam::ImageSettings s;
    s.bayerConversion = true;
    cv::Mat bgra, out;
    cam::convertForDisplay(f, s, bgra);
    const cv::Size size(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * kH / kW);
    for (auto _ : state)
        cam::shrinkForDisplay(bgra, size, out);
    pixels(state);
}

void PlainOpenCvAreaResize(benchmark::State &state)
{
    const cam::FrameBuffer f = frameOf(cam::PixelFormat::BayerGR8);
    cam::ImageSettings s;
    s.bayerConversion = true;
    cv::Mat bgra, out;
    cam::convertForDisplay(f, s, bgra);
    for (auto _ : state)
        cv::resize(bgra, out, cv::Size(1024, 640), 0, 0, cv::INTER_AREA);
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

BENCHMARK(DisplayBayerToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvBayerToBgra)->Unit(benchmark::kMillisecond);
BENCHMARK(DisplayShrinkToFit)->Arg(1024)->Arg(640)->Arg(400)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvAreaResize)->Unit(benchmark::kMillisecond);
BENCHMARK(FullRangeUyvyToBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainOpenCvUyvyToBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(Mono16ToEight)->Unit(benchmark::kMillisecond);
BENCHMARK(SimulatedFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
