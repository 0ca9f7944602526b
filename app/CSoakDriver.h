// A scripted operator for long unattended runs (molvane --soak-driver): every tick it opens and
// plays each listed camera that has no window, keeps the three analysis windows open, switches
// the setting page and starts or stops a recording, and prints a heartbeat and the frame counts
// of every open camera on standard output; it can end the program after a number of ticks. Off
// unless the option is given.
#pragma once

#include "framework/Window.h"

#include <ostream>
#include <set>
#include <string>

class CMainFrame;

class CSoakDriver : public fw::Window {
public:
    static constexpr int kTickMs = 1000;
    // Ticks between two page switches, between two recordings, and between two reports.
    static constexpr int kPageTicks = 2, kRecordTicks = 6, kReportTicks = 5;

    // With a tick limit the driver ends the program as the operator's Exit does after that many.
    explicit CSoakDriver(std::ostream &out, int tickLimit = 0);
    ~CSoakDriver() override;

    // Starts ticking; false when the hidden window cannot be made.
    bool Start();
    // One step of the script (the timer's; tests call it directly).
    void Tick();
    int ticks() const { return m_nTick; }

    void onTimer(int id) override;

private:
    void OpenListedCameras(CMainFrame &frame);
    void OpenAnalysisWindows(CMainFrame &frame);
    void SwitchPage(CMainFrame &frame);
    // Starts a recording on the next camera window, or stops the one running.
    void ToggleRecording(CMainFrame &frame);
    void Report();

    void Finish(CMainFrame &frame);

    std::ostream &m_out;
    int m_nTickLimit = 0;
    int m_nTick = 0;
    int m_nPage = 0;
    int m_nCamera = 0;
    bool m_bRecording = false;
    std::set<std::string> m_tried;  // list lines opened once; forgotten when they leave the list
};
