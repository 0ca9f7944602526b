// Shared set-up for scenario tests: a headless platform, simulated cameras, the application.
#pragma once

#include "app/CMainFrame.h"
#include "app/CMolvaneApp.h"
#include "camera/CameraBus.h"
#include "camera/CameraError.h"
#include "camera/sim/SimulatedCameras.h"
#include "framework/headless/HeadlessPlatform.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Dispids of a component's calls, in order, optionally only those with the given ids.
inline std::vector<int> dispids(const cam::CMolvane &c, std::vector<cam::Dispid> only = {})
{
    std::vector<int> out;
    for (const auto &call : c.callLog().calls()) {
        bool keep = only.empty();
        for (auto d : only)
            keep = keep || call.dispid == d;
        if (keep)
            out.push_back(static_cast<int>(call.dispid));
    }
    return out;
}

// The code of the CameraError a call raises, 0 when it raises none.
inline int codeOf(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const cam::CameraError &e) {
        return e.code();
    }
    return 0;
}

// Dispids of the component's property writes, in order, among the given members.
inline std::vector<int> puts(const cam::CMolvane &c, std::vector<cam::Dispid> only)
{
    std::vector<int> out;
    for (const auto &call : c.callLog().calls())
        for (auto d : only)
            if (call.dispid == d && call.kind == cam::CallKind::Put)
                out.push_back(static_cast<int>(d));
    return out;
}

class AppFixture : public ::testing::Test {
protected:
    void start(int cameras, const std::vector<std::string> &faults = {})
    {
        for (const auto &f : faults)
            ASSERT_TRUE(sims.addFault(f, nullptr)) << f;
        sims.install(cameras);
        app = std::make_unique<CMolvaneApp>();
        ASSERT_TRUE(app->InitInstance());
        platform.processEvents();
    }
    void TearDown() override
    {
        app.reset();
        platform.processEvents();
        sims.uninstall();
        cam::CameraBus::instance().clear();
    }
    CMainFrame &frame() { return *app->m_pMainWnd; }
    // Selects a line and double-clicks it, as the operator does; the active view, if any.
    CMolvaneView *open(int line);
    CCameraListWnd &list() { return frame().m_wndCameraList; }

    fw::HeadlessPlatform platform;
    cam::SimulatedCameras sims;
    std::unique_ptr<CMolvaneApp> app;
};

inline CMolvaneView *AppFixture::open(int line)
{
    list().select(line);
    list().dispatch(fw::Notify::SelChange, res::ListCameras);
    list().dispatch(fw::Notify::DblClick, res::ListCameras);
    platform.processEvents();
    return frame().activeCameraView();
}
