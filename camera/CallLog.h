// The record of calls made on a component, as (DISPID, kind, arguments), for tests. Only the
// latest calls are kept: a camera playing for hours is asked for its state many times a second.
#pragma once

#include "camera/Dispid.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

namespace cam {

enum class CallKind { Get, Put, Method };

using CallArg = std::variant<int, double, std::string>;

struct Call {
    Dispid dispid;
    CallKind kind;
    std::vector<CallArg> args;
};

class CallLog {
public:
    // At least this many of the latest calls are kept, at most twice as many.
    static constexpr size_t kKept = 4096;

    void add(Dispid id, CallKind kind, std::vector<CallArg> args = {})
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (calls_.size() >= 2 * kKept)
            calls_.erase(calls_.begin(), calls_.end() - static_cast<std::ptrdiff_t>(kKept - 1));
        calls_.push_back({id, kind, std::move(args)});
    }
    std::vector<Call> calls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }

private:
    mutable std::mutex mutex_;  // protects calls_
    std::vector<Call> calls_;
};

} // namespace cam
