// The record of calls made on a component, as (DISPID, kind, arguments), for tests.
#pragma once

#include "camera/Dispid.h"

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
    void add(Dispid id, CallKind kind, std::vector<CallArg> args = {})
    {
        std::lock_guard<std::mutex> lock(mutex_);
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
