// A scripted stand-in for one camera behind libdc1394: given modes, features, registers and
// strobes, frames sent on request, refusals and unplugging on cue, and a log of what it was told.
#pragma once

#include "camera/CameraError.h"
#include "camera/iidc/Dc1394Camera.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>

// What the camera is; tests change it while the backend runs.
struct IidcScript {
    cam::IidcIdentity identity;
    std::vector<cam::IidcVideoMode> modes;
    std::map<int, std::vector<cam::IidcFrameRate>> rates;
    std::map<int, cam::IidcFormat7> format7;
    int mode = 0, rate = 0;
    std::vector<cam::IidcFeatureInfo> features;
    std::map<uint64_t, uint32_t> registers;
    std::map<uint64_t, uint32_t> strobes;  // empty: no strobe outputs
    bool held = false;        // another application has it transmitting
    bool unopenable = false;  // libdc1394 cannot open it
    bool gone = false;        // unplugged: every call fails
    bool transmitting = false, capturing = false;
    std::set<std::string> refusing;  // calls that fail
    int framesToSend = 0, corruptToSend = 0;
    std::vector<std::string> calls;
    std::mutex mutex;  // protects all of the above; the capture thread reads it too
    std::condition_variable sent;

    cam::IidcFeatureInfo &feature(cam::IidcFeature id)
    {
        return *std::find_if(features.begin(), features.end(), [&](const auto &f) { return f.id == id; });
    }
    void send(int frames, int corrupt = 0)
    {
        std::lock_guard<std::mutex> lock(mutex);
        framesToSend += frames;
        corruptToSend += corrupt;
        sent.notify_all();
    }
    void unplug()
    {
        std::lock_guard<std::mutex> lock(mutex);
        gone = true;
        sent.notify_all();
    }
};

class ScriptedIidcCamera : public cam::Dc1394Camera {
    // Each call is logged, and fails when the camera is unplugged or told to refuse it.
    template <typename Fn>
    auto call(const std::string &name, Fn fn, bool evenWhenGone = false)
    {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->calls.push_back(name);
        if ((s_->gone && !evenWhenGone) || s_->refusing.count(name))
            throw cam::CameraError(cam::code::Failed, name + ": Generic failure");
        return fn();
    }

public:
    explicit ScriptedIidcCamera(std::shared_ptr<IidcScript> s) : s_(std::move(s)) {}

    bool transmitting() override { return call("transmitting", [&] { return s_->transmitting; }); }
    void setTransmission(bool on) override { call("setTransmission", [&] { return s_->transmitting = on; }); }
    std::vector<cam::IidcVideoMode> videoModes() override { return call("videoModes", [&] { return s_->modes; }); }
    int videoMode() override { return call("videoMode", [&] { return s_->mode; }); }
    void setVideoMode(int m) override { call("setVideoMode", [&] { return s_->mode = m; }); }
    std::vector<cam::IidcFrameRate> frameRates(int m) override { return call("frameRates", [&] { return s_->rates[m]; }); }
    int frameRate() override { return call("frameRate", [&] { return s_->rate; }); }
    void setFrameRate(int r) override { call("setFrameRate", [&] { return s_->rate = r; }); }
    cam::IidcFormat7 format7(int m) override { return call("format7", [&] { return s_->format7.at(m); }); }
    void setFormat7Roi(int m, cam::IidcCoding coding, int packet, int left, int top, int w, int h) override
    {
        call("setFormat7Roi", [&] {
            cam::IidcFormat7 &f = s_->format7.at(m);
            if (left + w > f.maxWidth || top + h > f.maxHeight || w % f.unitWidth || h % f.unitHeight)
                throw cam::CameraError(cam::code::Failed, "Invalid Format7 region");
            f.coding = coding;
            f.left = left, f.top = top, f.width = w, f.height = h;
            // The larger the image, the larger the packets it may use.
            f.maxPacket = std::min(4096, std::max(f.unitPacket, w * h / 64 / f.unitPacket * f.unitPacket));
            f.packetSize = packet < 0 ? f.maxPacket : packet;
            return 0;
        });
    }
    std::vector<cam::IidcFeatureInfo> features() override { return call("features", [&] { return s_->features; }); }
    cam::IidcFeatureInfo feature(cam::IidcFeature id) override { return call("feature", [&] { return s_->feature(id); }); }
    void setFeatureValue(cam::IidcFeature id, uint32_t v) override
    {
        call("setFeatureValue", [&] { return s_->feature(id).value = v; });
    }
    void setFeatureAbsolute(cam::IidcFeature id, float v) override
    {
        call("setFeatureAbsolute", [&] { return s_->feature(id).absValue = v; });
    }
    void setFeatureMode(cam::IidcFeature id, cam::IidcFeatureMode m) override
    {
        call("setFeatureMode", [&] { return s_->feature(id).mode = m; });
    }
    void setWhiteBalance(uint32_t bu, uint32_t rv) override
    {
        call("setWhiteBalance", [&] {
            auto &f = s_->feature(cam::IidcFeature::WhiteBalance);
            f.blueU = bu;
            return f.redV = rv;
        });
    }
    void setTriggerPower(bool on) override { call("setTriggerPower", [&] { return trigger().isOn = on; }); }
    void setTriggerMode(int m) override { call("setTriggerMode", [&] { return trigger().triggerMode = m; }); }
    void setTriggerSource(int src) override { call("setTriggerSource", [&] { return trigger().triggerSource = src; }); }
    void setTriggerPolarity(bool high) override { call("setTriggerPolarity", [&] { return trigger().activeHigh = high; }); }
    void softwareTrigger() override { call("softwareTrigger", [] { return 0; }); }
    uint32_t readRegister(uint64_t at) override
    {
        return call("readRegister", [&] {
            auto it = s_->registers.find(at);
            if (it == s_->registers.end())
                throw cam::CameraError(cam::code::Failed, "Generic failure");
            return it->second;
        });
    }
    void writeRegister(uint64_t at, uint32_t v) override { call("writeRegister", [&] { return s_->registers[at] = v; }); }
    uint32_t readStrobeRegister(uint64_t at) override
    {
        return call("readStrobeRegister", [&] { return strobes()[at]; });
    }
    void writeStrobeRegister(uint64_t at, uint32_t v) override
    {
        call("writeStrobeRegister", [&] { return strobes()[at] = v; });
    }
    void setupCapture(int) override { call("setupCapture", [&] { return s_->capturing = true; }); }
    void stopCapture() override { call("stopCapture", [&] { return s_->capturing = false; }, true); }
    void enqueue(const cam::IidcFrame &) override {}

    cam::IidcDequeue dequeue(int timeoutMs, cam::IidcFrame &frame) override
    {
        std::unique_lock<std::mutex> lock(s_->mutex);
        s_->sent.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return s_->gone || s_->framesToSend + s_->corruptToSend > 0; });
        if (s_->gone)
            return cam::IidcDequeue::Failed;
        if (s_->framesToSend + s_->corruptToSend == 0)
            return cam::IidcDequeue::Nothing;
        frame.corrupt = s_->corruptToSend > 0;
        --(frame.corrupt ? s_->corruptToSend : s_->framesToSend);
        fill(frame);
        return cam::IidcDequeue::Frame;
    }

    cam::IidcFeatureInfo &trigger() { return s_->feature(cam::IidcFeature::Trigger); }
    std::map<uint64_t, uint32_t> &strobes()
    {
        if (s_->strobes.empty())
            throw cam::CameraError(cam::code::Failed, "Function not supported");
        return s_->strobes;
    }
    // A frame of the current mode whose pixels count up: 16-bit pixels most significant byte first.
    void fill(cam::IidcFrame &frame)
    {
        const auto m = *std::find_if(s_->modes.begin(), s_->modes.end(), [&](const auto &v) { return v.id == s_->mode; });
        const bool f7 = m.format7;
        frame.width = f7 ? s_->format7[m.id].width : m.width;
        frame.height = f7 ? s_->format7[m.id].height : m.height;
        frame.coding = f7 ? s_->format7[m.id].coding : m.coding;
        const bool wide = frame.coding == cam::IidcCoding::Mono16;
        frame.depth = wide ? 12 : 8;
        image_.resize(static_cast<size_t>(frame.width) * frame.height * (wide ? 2 : 1));
        for (size_t i = 0; i < image_.size(); ++i)
            image_[i] = static_cast<uint8_t>(i);
        frame.image = image_.data();
        frame.bytes = image_.size();
    }

    std::shared_ptr<IidcScript> s_;
    std::vector<uint8_t> image_;  // the capture thread's
};
