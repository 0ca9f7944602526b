// Starts arv-fake-gv-camera-0.8 (or another helper) on loopback and ends it by its own PID.
#pragma once

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ChildProcess {
public:
    // Its standard error goes to `errorLog` (a file it creates) when given. It is killed with
    // this process too, so a test ended from outside leaves no camera holding the shared lock.
    explicit ChildProcess(std::vector<std::string> argv, const std::string &errorLog = "/dev/null")
    {
        std::vector<char *> args;
        for (auto &a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        // The child reports a failed exec through a pipe that a successful one closes.
        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0)
            return;
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            // Only calls safe between fork and exec in a process with threads.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(127);
            const int out = open("/dev/null", O_WRONLY), err = open(errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
                _exit(127);
            execvp(args[0], args.data());
            const int why = errno;
            (void)!write(report[1], &why, sizeof why);
            _exit(127);
        }
        close(report[1]);
        int why = 0;
        ssize_t got;
        while ((got = read(report[0], &why, sizeof why)) < 0 && errno == EINTR) {
        }
        close(report[0]);
        if (pid_ > 0 && got > 0) {  // it could not be started
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
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
