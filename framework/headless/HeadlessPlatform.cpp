// The platform for tests and command-line use.
#include "framework/headless/HeadlessPlatform.h"

#include "framework/ErrorReport.h"
#include "framework/headless/HeadlessCanvasPeer.h"

#include <chrono>
#include <thread>

namespace fw {

namespace {

// A child frame's peer tells the frame when it comes and goes, as the MDI client would.
class HeadlessChildPeer : public HeadlessPeer {
public:
    HeadlessChildPeer(const WindowSpec &params, Window &window, HeadlessPlatform &platform)
        : HeadlessPeer(params), window_(window), platform_(platform)
    {
        if (auto *f = platform_.frame())
            f->childCreated(window_);
    }
    ~HeadlessChildPeer() override
    {
        if (auto *f = platform_.frame())
            f->childDestroyed(window_);
    }

private:
    Window &window_;
    HeadlessPlatform &platform_;
};

class HeadlessMainPeer : public HeadlessFramePeer {
public:
    HeadlessMainPeer(const WindowSpec &params, HeadlessPlatform &platform)
        : HeadlessFramePeer(params), platform_(platform)
    {
    }
    ~HeadlessMainPeer() override { platform_.forgetFrame(this); }

private:
    HeadlessPlatform &platform_;
};

} // namespace

std::string HeadlessSettings::value(const std::string &key) const
{
    auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

HeadlessPlatform::HeadlessPlatform() { setPlatform(this); }

HeadlessPlatform::~HeadlessPlatform() { setPlatform(nullptr); }

std::unique_ptr<WindowPeer> HeadlessPlatform::createPeer(Window &window, const WindowSpec &params)
{
    if (params.kind == WindowKind::MainFrame) {
        auto peer = std::make_unique<HeadlessMainPeer>(params, *this);
        frame_ = peer.get();
        return peer;
    }
    if (params.kind == WindowKind::MdiChild)
        return std::make_unique<HeadlessChildPeer>(params, window, *this);
    if (params.drawsItself)
        return std::make_unique<HeadlessCanvasPeer>(params, window);
    return std::make_unique<HeadlessPeer>(params);
}

void HeadlessPlatform::forgetFrame(HeadlessFramePeer *frame)
{
    if (frame_ == frame)
        frame_ = nullptr;
}

int HeadlessPlatform::runModal(Window &dialog)
{
    modalsRun_.push_back(&dialog);
    int result = 1;
    if (!modalAnswers_.empty()) {
        result = modalAnswers_.front();
        modalAnswers_.pop_front();
    }
    return result;
}

MsgResult HeadlessPlatform::messageBox(const std::string &text, const std::string &title,
                                       MsgButtons buttons, MsgIcon icon)
{
    messageBoxes_.push_back({text, title, buttons, icon});
    if (duringMessageBox_) {
        ModalLoop loop(*this);
        auto hook = std::move(duringMessageBox_);
        duringMessageBox_ = nullptr;
        hook();
    }
    if (messageAnswers_.empty())
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    MsgResult r = messageAnswers_.front();
    messageAnswers_.pop_front();
    return r;
}

std::optional<std::string> HeadlessPlatform::openFileDialog(const std::string &, const std::string &)
{
    if (fileAnswers_.empty())
        return std::nullopt;
    auto r = fileAnswers_.front();
    fileAnswers_.pop_front();
    return r;
}

std::optional<std::string> HeadlessPlatform::saveFileDialog(const std::string &f, const std::string &d)
{
    return openFileDialog(f, d);
}

std::optional<std::string> HeadlessPlatform::folderDialog(const std::string &)
{
    return openFileDialog({}, {});
}

int HeadlessPlatform::popupMenu(const MenuItem &popup, Point screen)
{
    lastPopup_ = popup;
    lastPopupPoint_ = screen;
    ++popupCount_;
    if (popupAnswers_.empty())
        return 0;
    int r = popupAnswers_.front();
    popupAnswers_.pop_front();
    return r;
}

void HeadlessPlatform::setTimer(Window *window, int id, int milliseconds)
{
    timers_[{window, id}] = Timer{milliseconds, now_ + milliseconds};
}

void HeadlessPlatform::killTimer(Window *window, int id) { timers_.erase({window, id}); }

void HeadlessPlatform::killTimers(Window *window)
{
    for (auto it = timers_.begin(); it != timers_.end();)
        it = it->first.first == window ? timers_.erase(it) : std::next(it);
}

bool HeadlessPlatform::hasTimer(Window *window, int id) const
{
    return timers_.count({window, id}) != 0;
}

int HeadlessPlatform::timerPeriod(Window *window, int id) const
{
    auto it = timers_.find({window, id});
    return it == timers_.end() ? -1 : it->second.period;
}

void HeadlessPlatform::post(std::function<void()> fn)
{
    std::lock_guard<std::mutex> lock(postMutex_);
    posted_.push_back(std::move(fn));
}

int HeadlessPlatform::processEvents()
{
    int ran = 0;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            if (posted_.empty())
                return ran;
            fn = std::move(posted_.front());
            posted_.pop_front();
        }
        guarded(fn);
        ++ran;
    }
}

void HeadlessPlatform::advance(int milliseconds)
{
    const long long end = now_ + milliseconds;
    processEvents();
    for (;;) {
        // The earliest due timer within the step fires next.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due))
                next = it;
        if (next == timers_.end())
            break;
        now_ = next->second.due;
        next->second.due += next->second.period;
        Window *w = next->first.first;
        int id = next->first.second;
        guarded([w, id] { w->onTimer(id); });
        processEvents();
    }
    now_ = end;
    processEvents();
}

bool HeadlessPlatform::processUntil(const std::function<bool()> &done, int realTimeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realTimeoutMs);
    for (;;) {
        processEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool HeadlessPlatform::acquireInstanceLock(const std::string &name)
{
    return locks_.insert(name).second;
}

void HeadlessPlatform::clearRecords()
{
    messageBoxes_.clear();
    balloons_.clear();
    modalsRun_.clear();
    popupCount_ = 0;
}

} // namespace fw
