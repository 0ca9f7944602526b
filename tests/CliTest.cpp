// molvane-cli as scripts use it: output, files and exit status of each command.
#include "FakeCameraProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out;
};

// Runs molvane-cli with the arguments; standard error is folded into the output.
CliRun cli(const std::string &args)
{
    const std::string command = std::string(MOLVANE_CLI) + " " + args + " 2>&1";
    CliRun r{-1, {}};
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf{};
    while (fgets(buf.data(), buf.size(), p))
        r.out += buf.data();
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

} // namespace

TEST(Cli, ListsGetsAndSetsFeaturesOfSimulatedCameras)
{
    CliRun list = cli("--simulate 2 list");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("[GigE] SIM-GC1280 (SIM00001)\n[1394] SIM-FM1024 (SIM00002)\n"), std::string::npos);
    EXPECT_EQ(cli("--simulate 1 get 0 Width").out, "1280\n");
    EXPECT_EQ(cli("--simulate 2 get SIM-FM get DeviceID").status, 1);  // no camera named that
    EXPECT_EQ(cli("--simulate 2 get FM1024 DeviceID").out, "SIM00002\n");
    EXPECT_EQ(cli("--simulate 1 get 0 PixelFormat").out, "BayerGR8\n");
    EXPECT_EQ(cli("--simulate 1 read-register 0 C").out, "56000001\n");
    EXPECT_EQ(cli("--simulate 1 set 0 Width 640").status, 0);
}

TEST(Cli, RefusalsAreCameraErrorsAndBadInputIsAUsageError)
{
    CliRun step = cli("--simulate 1 set 0 Width 641");
    EXPECT_EQ(step.status, 1);
    EXPECT_NE(step.out.find("camera error -7"), std::string::npos);
    CliRun held = cli("--simulate 1 --sim-fault 1:held info 0");
    EXPECT_EQ(held.status, 1);
    EXPECT_NE(held.out.find("camera error -4"), std::string::npos);
    EXPECT_EQ(cli("--simulate 1 set 0 Width abc").status, 2);
    EXPECT_EQ(cli("--simulate 1 read-register 0 xyz").status, 2);
    EXPECT_EQ(cli("--simulate 1 frobnicate").status, 2);
    EXPECT_EQ(cli("--simulate 1 grab 0 --count 0 --out /tmp").status, 2);
    EXPECT_EQ(cli("--simulate 1 --sim-fault 9 list").status, 2);
    EXPECT_EQ(cli("--simulate 1 exec 0 Width").status, 1);  // not a command node
}

TEST(Cli, GrabsAndRecordsFiles)
{
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-" + std::to_string(getpid()));
    CliRun grab = cli("--simulate 1 grab 0 --count 4 --out " + dir.string() + " --format raw");
    EXPECT_EQ(grab.status, 0) << grab.out;
    EXPECT_NE(grab.out.find("received 4 frames, dropped 0"), std::string::npos);
    ASSERT_TRUE(fs::exists(dir / "frame_00003.raw"));
    const auto width = std::stoul(cli("--simulate 1 get 0 Width").out);
    const auto height = std::stoul(cli("--simulate 1 get 0 Height").out);
    EXPECT_EQ(fs::file_size(dir / "frame_00003.raw"), width * height);  // Mono8: a byte a pixel
    EXPECT_NE(grab.out.find("written 4, not written 0"), std::string::npos) << grab.out;
    CliRun record = cli("--simulate 1 record 0 --seconds 1 --codec MJPG --out " + (dir / "clip.avi").string());
    EXPECT_EQ(record.status, 0) << record.out;
    EXPECT_NE(record.out.find("not written 0"), std::string::npos) << record.out;
    EXPECT_GT(fs::file_size(dir / "clip.avi"), 10000u);
    EXPECT_FALSE(fs::exists(dir / "clip.avi.part"));
    CliRun full = cli("--simulate 1 record 0 --seconds 1 --out /proc/molvane/clip.avi");
    EXPECT_EQ(full.status, 1);  // a folder that cannot hold it: a clear error, no crash
    fs::remove_all(dir);
}

TEST(Cli, TalksToARealGigEVisionCamera)
{
    ChildProcess fake(fakeCameraCommand());
    ASSERT_TRUE(fake.running());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    CliRun list = cli("list");
    ASSERT_NE(list.out.find("Aravis Fake (GV01) 127.0.0.1"), std::string::npos) << list.out;
    CliRun info = cli("info GV01");
    EXPECT_NE(info.out.find("receive path: "), std::string::npos);
    EXPECT_EQ(cli("set GV01 Width 320").status, 0);
    EXPECT_EQ(cli("get GV01 DeviceVendorName").out, "Aravis\n");
    CliRun tree = cli("tree GV01 --visibility beginner");
    EXPECT_NE(tree.out.find("ImageFormatControl [ICategory, RO]"), std::string::npos);
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-gv-" + std::to_string(getpid()));
    CliRun grab = cli("grab GV01 --count 3 --out " + dir.string() + " --format bmp");
    EXPECT_NE(grab.out.find("received 3 frames"), std::string::npos) << grab.out;
    EXPECT_TRUE(fs::exists(dir / "frame_00002.bmp"));
    fs::remove_all(dir);
}
