// The frame pool of an Aravis stream: the stream receives straight into the pool's frames.
#pragma once

#include "camera/FrameQueue.h"

#include <arv.h>

#include <mutex>
#include <vector>

namespace cam {

// Each frame is an ArvBuffer of its own. The pool holds one reference to every buffer for its
// whole life (so a frame's memory stays valid while the consumer shows it, even after the
// stream is gone); the stream holds another while a buffer is in its queues. A frame handed to
// the consumer goes back to the stream when released, or stays idle once the stream is
// withdrawn, so every buffer is freed exactly once: by the last of the two to let it go.
class AravisFramePool : public FrameLender {
public:
    // Throws CameraError when the memory for `count` frames of `size` bytes is not there.
    AravisFramePool(int count, size_t size);
    ~AravisFramePool() override;
    AravisFramePool(const AravisFramePool &) = delete;
    AravisFramePool &operator=(const AravisFramePool &) = delete;

    FrameQueue &queue() { return queue_; }

    // Gives every frame to `stream` to receive into.
    void lendTo(ArvStream *stream);
    // From now on released frames stay here; call before the stream is let go.
    void withdraw();

    // Stream thread: the frame of a buffer the stream handed out, with the stream's reference
    // to it dropped (the pool's keeps it alive).
    FrameBuffer *take(ArvBuffer *buffer);
    void giveBack(FrameBuffer *frame) override;

private:
    FrameQueue queue_;
    std::vector<ArvBuffer *> buffers_;
    std::mutex mutex_;  // protects stream_ against a release while the stream is let go
    ArvStream *stream_ = nullptr;
};

} // namespace cam
