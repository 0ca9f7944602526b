// The soak driver: what one run of its script does to the program, tick by tick.
#include "TestSupport.h"

#include "analysis/CHistoDlg.h"
#include "analysis/CHorizonDlg.h"
#include "analysis/CVerticalDlg.h"
#include "app/AppAccess.h"
#include "app/CControlBasePane.h"
#include "app/CSoakDriver.h"
#include "view/CMolvaneView.h"

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

class SoakDriver : public AppFixture {
protected:
    void tick(CSoakDriver &d)
    {
        d.Tick();
        platform.processEvents();
    }
};

// Every listed camera is opened and played on the first tick, the three viewers are open,
// pages change, each recording is made on the next camera and reaches the disk, and the tick
// limit ends the program as Exit does.
TEST_F(SoakDriver, OpensEverythingSwitchesPagesRecordsInTurnAndEndsAtItsLimit)
{
    const fs::path dir = fs::temp_directory_path() / ("molvane-soak-" + std::to_string(getpid()));
    fs::create_directories(dir);
    platform.settings().setValue("CaptureStream", dir.string());
    start(2);
    std::ostringstream out;
    CSoakDriver driver(out, 13);
    tick(driver);
    ASSERT_EQ(g_listCameraView.size(), 2u);
    for (CMolvaneView *view : g_listCameraView)
        EXPECT_TRUE(view->m_bPlaying);
    EXPECT_TRUE(g_pHistoDlg && g_pHistoDlg->hasWindow());
    EXPECT_TRUE(g_pHorizonDlg && g_pHorizonDlg->hasWindow());
    EXPECT_TRUE(g_pVerticalDlg && g_pVerticalDlg->hasWindow());
    std::set<fw::Window *> pages;
    for (int i = 2; i <= 12; ++i) {
        ASSERT_TRUE(platform.processUntil([&] { return frame().activeCameraView()->m_nFrameCount > 2; }));
        tick(driver);
        if (frame().m_pControlPane)
            pages.insert(frame().m_pControlPane->m_pCurrentPage);
        const bool recording = i % 6 >= 3;  // started on ticks 3 and 9, stopped on 6 and 12
        EXPECT_EQ(frame().activeCameraView()->m_bCapturing != 0, recording) << "tick " << i;
    }
    EXPECT_GE(pages.size(), 3u);
    EXPECT_FALSE(fs::is_empty(dir));
    tick(driver);
    tick(driver);
    EXPECT_EQ(app->m_pMainWnd, nullptr);  // Exit closed the frame
    const std::string text = out.str();
    EXPECT_NE(text.find("soak: camera SIM00001 delivered "), std::string::npos) << text;
    EXPECT_NE(text.find("soak: recording started on SIM00001"), std::string::npos) << text;
    EXPECT_NE(text.find("soak: recording started on SIM00002"), std::string::npos) << text;
    EXPECT_NE(text.find("soak: exit"), std::string::npos);
    fs::remove_all(dir);
}
