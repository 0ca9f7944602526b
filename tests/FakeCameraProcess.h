// Starts arv-fake-gv-camera-0.8 (or another helper) on loopback and ends it by its own PID.
#pragma once

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

class ChildProcess {
public:
    // Its standard error goes to `errorLog` (a file it creates) when given.
    explicit ChildProcess(std::vector<std::string> argv, const std::string &errorLog = "/dev/null")
    {
        std::vector<char *> args;
        for (auto &a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool running() const { return pid_ > 0; }
    // Freezes it (SIGSTOP) and returns once it is stopped: its sockets stay open and nothing
    // answers them.
    void freeze()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGSTOP);
        int status = 0;
        waitpid(pid_, &status, WUNTRACED);
    }
    void stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// A fake GigE Vision camera answering on 127.0.0.1; `lossPerThousand` drops stream packets.
inline std::vector<std::string> fakeCameraCommand(int lossPerThousand = 0)
{
    std::vector<std::string> cmd = {"arv-fake-gv-camera-0.8", "-i", "127.0.0.1"};
    if (lossPerThousand > 0) {
        cmd.push_back("-r");
        cmd.push_back(std::to_string(lossPerThousand));
    }
    return cmd;
}
