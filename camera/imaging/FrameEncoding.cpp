// Turns a raw frame into the bytes of an image file or of one video frame.
#include "camera/imaging/FrameEncoding.h"

#include "camera/CameraError.h"
#include "camera/imaging/FrameConverter.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>

namespace cam {

namespace {

// The grey image of a grey frame, 8 bits, with the image effects.
void greyEight(const FrameBuffer &frame, const ImageSettings &s, cv::Mat &dst)
{
    cv::Mat raw = rawView(frame);
    if (raw.depth() == CV_16U)
        toEightBit(raw, frame.bits, dst);
    else
        raw.copyTo(dst);
    applyFlips(s, dst);
    if (s.negative)
        cv::bitwise_not(dst, dst);
}

// The grey image of a grey frame with all its bits, with the image effects.
void greySixteen(const FrameBuffer &frame, const ImageSettings &s, cv::Mat &dst)
{
    rawView(frame).copyTo(dst);
    applyFlips(s, dst);
    if (s.negative) {
        const double top = double((1 << std::clamp(frame.bits, 8, 16)) - 1);
        dst.convertTo(dst, CV_16U, -1.0, top);
    }
}

std::vector<int> jpegParams(int quality) { return {cv::IMWRITE_JPEG_QUALITY, std::clamp(quality, 1, 100)}; }

} // namespace

bool showsGrey(const FrameBuffer &frame, const ImageSettings &s)
{
    if (frame.format == PixelFormat::YUV422Packed || frame.format == PixelFormat::RGB8)
        return false;
    return !(isBayer(frame.format) && s.bayerConversion);
}

void encodeJpeg(const FrameBuffer &frame, const ImageSettings &s, int quality, std::vector<uint8_t> &out)
{
    thread_local cv::Mat image;
    if (showsGrey(frame, s))
        greyEight(frame, s, image);
    else
        convertToBgr(frame, s, image);
    if (!cv::imencode(".jpg", image, out, jpegParams(quality)))
        throw CameraError(code::Failed, "cannot encode a JPEG frame");
}

void encodeBgr(const FrameBuffer &frame, const ImageSettings &s, int rowAlign, bool bottomUp,
               std::vector<uint8_t> &out)
{
    thread_local cv::Mat bgr;
    convertToBgr(frame, s, bgr);
    const size_t row = static_cast<size_t>(bgr.cols) * 3;
    const size_t align = static_cast<size_t>(std::max(rowAlign, 1));
    const size_t stride = (row + align - 1) / align * align;
    out.resize(stride * static_cast<size_t>(bgr.rows));  // a reused buffer is not cleared again
    cv::Mat rows(bgr.rows, bgr.cols, CV_8UC3, out.data(), stride);
    if (bottomUp)
        cv::flip(bgr, rows, 0);
    else
        bgr.copyTo(rows);
    if (stride > row)
        for (int y = 0; y < bgr.rows; ++y)
            std::memset(&out[stride * static_cast<size_t>(y) + row], 0, stride - row);
}

void encodeBottomUpBgr(const FrameBuffer &frame, const ImageSettings &s, int rowAlign,
                       std::vector<uint8_t> &out)
{
    encodeBgr(frame, s, rowAlign, true, out);
}

std::string stillEnding(const std::string &path)
{
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string rgb = "-rgb.raw";
    if (lower.size() >= rgb.size() && lower.compare(lower.size() - rgb.size(), rgb.size(), rgb) == 0)
        return rgb;
    const auto dot = lower.find_last_of('.');
    const auto slash = lower.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lower.substr(dot);
}

void encodeStill(const FrameBuffer &frame, const ImageSettings &s, const std::string &path, int quality,
                 std::vector<uint8_t> &out)
{
    const std::string ending = stillEnding(path);
    if (ending == ".raw") {
        out.assign(frame.bytes(), frame.bytes() + frame.size);
        return;
    }
    if (ending == "-rgb.raw") {
        encodeBottomUpBgr(frame, s, 1, out);
        return;
    }
    std::vector<int> params;
    if (ending == ".jpg" || ending == ".jpeg")
        params = jpegParams(quality);
    else if (ending != ".bmp" && ending != ".tif" && ending != ".tiff" && ending != ".png")
        throw CameraError(code::NotSupported, "cannot save images as \"" + ending + "\"");
    thread_local cv::Mat image;
    const bool deep = ending == ".tif" || ending == ".tiff" || ending == ".png";
    if (showsGrey(frame, s) && deep && isSixteenBit(frame.format))
        greySixteen(frame, s, image);
    else
        convertToBgr(frame, s, image);
    bool ok = false;
    try {
        ok = cv::imencode(ending == ".jpeg" ? ".jpg" : ending, image, out, params);
    } catch (const cv::Exception &) {
        ok = false;
    }
    if (!ok)
        throw CameraError(code::Failed, "cannot encode " + path);
}

} // namespace cam
