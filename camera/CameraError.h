// The error the camera control component raises for a refused call, with its integer code.
#pragma once

#include <stdexcept>
#include <string>

namespace cam {

namespace code {
constexpr int Failed = -1;          // the call failed for a reason of its own
constexpr int NotOpen = -2;         // no camera is open in this instance
constexpr int NoSuchFeature = -3;   // the camera has no such feature or node
constexpr int HeldElsewhere = -4;   // another application holds the camera
constexpr int AccessDenied = -5;    // the node cannot be read or written now
constexpr int CannotOpen = -6;      // the camera cannot be opened
constexpr int OutOfRange = -7;      // the value lies outside the node's bounds or steps
constexpr int WrongType = -8;       // the node is of another interface type
constexpr int NotSupported = -9;    // this kind of camera or format does not do that
constexpr int Removed = -10;        // the camera was disconnected
constexpr int FileError = -11;      // a file could not be written
} // namespace code

class CameraError : public std::runtime_error {
public:
    CameraError(int code, const std::string &message)
        : std::runtime_error(message), code_(code)
    {
    }
    int code() const { return code_; }

private:
    int code_;
};

} // namespace cam
