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

// Text typed where a number belongs that is no usable number: empty, letters, beyond any int,
// negative, and an exponent beyond any float.
inline const std::vector<std::string> &badNumbers()
{
    static const std::vector<std::string> texts = {"", "abc", "99999999999999999999",
                                                   "-99999999999999999999", "-5", "1e999"};
    return texts;
}

// A point in what the operator was shown and what a camera was sent, for tables of entries that
// each look only at what followed them.
struct Mark {
    size_t balloons = 0, boxes = 0, calls = 0;
};

class AppFixture : public ::testing::Test {
protected:
    Mark mark(const cam::CMolvane *c = nullptr) const
    {
        return {platform.balloons().size(), platform.messageBoxes().size(), c ? c->callLog().calls().size() : 0};
    }
    // The texts of the balloons, then of the message boxes, shown since the mark.
    std::vector<std::string> shownSince(const Mark &m) const
    {
        std::vector<std::string> out;
        for (size_t i = m.balloons; i < platform.balloons().size(); ++i)
            out.push_back(platform.balloons()[i].text);
        for (size_t i = m.boxes; i < platform.messageBoxes().size(); ++i)
            out.push_back(platform.messageBoxes()[i].text);
        return out;
    }
    // The camera's property writes and method calls among `only` since the mark.
    static int callsSince(const cam::CMolvane &c, const Mark &m, std::vector<cam::Dispid> only)
    {
        int n = 0;
        const auto &calls = c.callLog().calls();
        for (size_t i = m.calls; i < calls.size(); ++i)
            for (auto d : only)
                n += calls[i].dispid == d && calls[i].kind != cam::CallKind::Get;
        return n;
    }
    static bool enter(fw::Window &w, int focus)
    {
        fw::KeyEvent key;
        key.key = fw::Key::Enter;
        key.controlId = focus;
        return w.preTranslateKey(key);
    }
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
