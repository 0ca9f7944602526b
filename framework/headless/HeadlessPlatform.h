// The platform for tests and command-line use: no screen, virtual time, scripted answers.
#pragma once

#include "framework/Platform.h"
#include "framework/headless/HeadlessFramePeer.h"

#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace fw {

class HeadlessSettings : public Settings {
public:
    std::string value(const std::string &key) const override;
    void setValue(const std::string &key, const std::string &value) override { values_[key] = value; }

private:
    std::map<std::string, std::string> values_;
};

class HeadlessPlatform : public Platform {
public:
    struct MessageBoxRecord {
        std::string text;
        std::string title;
        MsgButtons buttons;
        MsgIcon icon;
    };

    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // Platform
    std::unique_ptr<WindowPeer> createPeer(Window &window, const WindowSpec &params) override;
    int runModal(Window &dialog) override;
    MsgResult messageBox(const std::string &text, const std::string &title, MsgButtons buttons,
                         MsgIcon icon) override;
    void showBalloon(const Balloon &balloon) override { balloons_.push_back(balloon); }
    std::optional<std::string> openFileDialog(const std::string &filter,
                                              const std::string &startDir) override;
    std::optional<std::string> saveFileDialog(const std::string &filter,
                                              const std::string &startDir) override;
    std::optional<std::string> folderDialog(const std::string &title) override;
    int popupMenu(const MenuItem &popup, Point screen) override;
    void setTimer(Window *window, int id, int milliseconds) override;
    void killTimer(Window *window, int id) override;
    void killTimers(Window *window) override;
    LocalTime localTime() override { return time_; }
    Settings &settings() override { return settings_; }
    void post(std::function<void()> fn) override;
    bool acquireInstanceLock(const std::string &name) override;
    int textWidth(const std::string &text) override { return 7 * static_cast<int>(text.size()); }
    void quit() override { quit_ = true; }

    // Driving the event loop.
    int processEvents();                 // runs posted calls; returns how many ran
    void advance(int milliseconds);      // moves virtual time, firing timers and posted calls
    bool processUntil(const std::function<bool()> &done, int realTimeoutMs = 5000);
    bool hasTimer(Window *window, int id) const;
    int timerPeriod(Window *window, int id) const;

    // Scripted answers and what was shown.
    void answerMessageBox(MsgResult result) { messageAnswers_.push_back(result); }
    void answerPopupMenu(int command) { popupAnswers_.push_back(command); }
    void answerFileDialog(std::optional<std::string> path) { fileAnswers_.push_back(path); }
    void answerModal(int result) { modalAnswers_.push_back(result); }
    // Runs fn while the next message box is open, as the box's own event loop would run events.
    void duringNextMessageBox(std::function<void()> fn) { duringMessageBox_ = std::move(fn); }
    const std::vector<MessageBoxRecord> &messageBoxes() const { return messageBoxes_; }
    const std::vector<Balloon> &balloons() const { return balloons_; }
    const MenuItem &lastPopupMenu() const { return lastPopup_; }
    Point lastPopupPoint() const { return lastPopupPoint_; }
    int popupCount() const { return popupCount_; }
    std::vector<Window *> modalsRun() const { return modalsRun_; }
    void clearRecords();
    void setLocalTime(const LocalTime &t) { time_ = t; }
    long long now() const { return now_; }
    bool quitRequested() const { return quit_; }
    HeadlessFramePeer *frame() const { return frame_; }
    void forgetFrame(HeadlessFramePeer *frame);

private:
    struct Timer {
        int period;
        long long due;
    };
    std::map<std::pair<Window *, int>, Timer> timers_;
    long long now_ = 0;
    std::mutex postMutex_;  // protects posted_
    std::deque<std::function<void()>> posted_;
    std::deque<MsgResult> messageAnswers_;
    std::function<void()> duringMessageBox_;
    std::deque<int> popupAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<int> modalAnswers_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<Balloon> balloons_;
    std::vector<Window *> modalsRun_;
    MenuItem lastPopup_;
    Point lastPopupPoint_;
    int popupCount_ = 0;
    HeadlessSettings settings_;
    LocalTime time_{2026, 12, 4, 4, 48, 11, 250};
    std::set<std::string> locks_;
    HeadlessFramePeer *frame_ = nullptr;
    bool quit_ = false;
};

} // namespace fw
