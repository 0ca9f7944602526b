// A scripted stand-in for libdc1394's bus: the cameras a test connects and unplugs.
#pragma once

#include "ScriptedIidcCamera.h"

#include "camera/iidc/Dc1394Api.h"

class ScriptedDc1394 : public cam::Dc1394Api {
public:
    void connect(std::shared_ptr<IidcScript> camera)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cameras_.push_back(std::move(camera));
    }

    std::vector<cam::IidcIdentity> enumerate() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<cam::IidcIdentity> out;
        for (const auto &c : cameras_) {
            std::lock_guard<std::mutex> camLock(c->mutex);
            if (!c->gone)
                out.push_back(c->identity);
        }
        return out;
    }

    std::unique_ptr<cam::Dc1394Camera> open(const cam::IidcCameraId &id) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto &c : cameras_) {
            std::lock_guard<std::mutex> camLock(c->mutex);
            if (c->identity.id.guid == id.guid && !c->gone && !c->unopenable) {
                c->transmitting = c->transmitting || c->held;
                return std::make_unique<ScriptedIidcCamera>(c);
            }
        }
        return nullptr;
    }

private:
    std::mutex mutex_;  // protects cameras_
    std::vector<std::shared_ptr<IidcScript>> cameras_;
};
