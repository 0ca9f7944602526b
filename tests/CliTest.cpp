// molvane-cli as scripts use it: output, files and exit status of each command.
#include "FakeCameraProcess.h"

#include <arv.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <algorithm>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out;
};

// Runs a program with the arguments (after `environment`, "NAME=value ..."); standard error
// is folded into the output.
CliRun run(const std::string &program, const std::string &args, const std::string &environment = {})
{
    const std::string command = environment + " " + program + " " + args + " 2>&1";
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

CliRun cli(const std::string &args, const std::string &environment = {})
{
    return run(MOLVANE_CLI, args, environment);
}

// A fake camera serving its own description with `from` replaced by `to`.
std::vector<std::string> fakeCameraWithEdit(const std::string &from, const std::string &to,
                                            const fs::path &file)
{
    ArvFakeCamera *camera = arv_fake_camera_new("GV01");
    size_t size = 0;
    const char *text = arv_fake_camera_get_genicam_xml(camera, &size);
    std::string xml(text, text ? strnlen(text, size) : 0);
    g_object_unref(camera);
    const auto at = xml.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        xml.replace(at, from.size(), to);
    std::ofstream(file) << xml;
    auto command = fakeCameraCommand();
    command.insert(command.end(), {"-g", file.string()});
    return command;
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
    // Numbers past 32 bits are refused, not cut to a camera position or value that exists.
    EXPECT_EQ(cli("--simulate 1 get 4294967296 Width").status, 1);
    EXPECT_EQ(cli("--simulate 1 set 0 Width 4294967936").status, 2);
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

TEST(Cli, GrabStatsCountTheFramesAndPacketsALossyCameraSent)
{
    ChildProcess fake(fakeCameraCommand(10));  // 1 % of the stream packets lost
    ASSERT_TRUE(fake.running());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-loss-" + std::to_string(getpid()));
    CliRun grab = cli("grab GV01 --count 3 --out " + dir.string() + " --stats");
    fs::remove_all(dir);
    EXPECT_EQ(grab.status, 0) << grab.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(grab.out, m, std::regex("dropped (\\d+),[^\\n]*\\nstream frames: completed (\\d+), lost (\\d+)")))
        << grab.out;
    EXPECT_EQ(m[1], m[3]);  // every frame the transport lost was reported as dropped
    EXPECT_GE(std::stoi(m[2]), 3);
    // The fake camera does not serve packet resend, so none is asked for.
    EXPECT_TRUE(std::regex_search(grab.out, std::regex("stream packets: received [1-9]\\d*, missing \\d+, resent 0 of 0 asked")))
        << grab.out;
}

TEST(Cli, InfoPrintsWhatItCanReadAndSaysWhatItCannot)
{
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-info-" + std::to_string(getpid()));
    fs::create_directories(dir);
    {
        ChildProcess fake(fakeCameraWithEdit("<Integer Name=\"Width\"", "<Integer Name=\"Breadth\"",
                                             dir / "no-width.xml"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        CliRun info = cli("info GV01");
        EXPECT_EQ(info.status, 0) << info.out;
        EXPECT_NE(info.out.find("size: unavailable ("), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("receive path: "), std::string::npos) << "stopped half-way: " << info.out;
    }
    {
        // A 32-bit register full of ones is 4294967295, not -1.
        ChildProcess fake(fakeCameraCommand());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(cli("write-register GV01 100 FFFFFFFF").status, 0);
        CliRun info = cli("info GV01");
        EXPECT_EQ(info.status, 0) << info.out;
        EXPECT_NE(info.out.find("size: 4294967295 x "), std::string::npos) << info.out;
        EXPECT_EQ(cli("get GV01 Width").out, "4294967295\n");
        // Its payload is absurd: the grab is refused with a message, not killed for memory.
        CliRun grab = cli("grab GV01 --count 2 --out " + (dir / "frames").string());
        EXPECT_EQ(grab.status, 1) << grab.out;
        EXPECT_NE(grab.out.find("more than its 2048 x 2048 sensor can send"), std::string::npos) << grab.out;
    }
    fs::remove_all(dir);
}

TEST(Cli, GrabsWithinTheFrameMemorySetting)
{
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-budget-" + std::to_string(getpid()));
    fs::create_directories(dir / "Molvane");
    const std::string environment = "XDG_CONFIG_HOME=" + dir.string();
    ChildProcess fake(fakeCameraCommand());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(cli("set GV01 Width 1024").status, 0);  // 1024 x 512 Mono8: 512 KiB a frame
    std::ofstream(dir / "Molvane" / "Molvane.conf") << "[General]\nFramePoolMegabytes=1\n";
    CliRun refused = cli("grab GV01 --count 2 --out " + (dir / "frames").string(), environment);
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find("FramePoolMegabytes"), std::string::npos) << refused.out;
    std::ofstream(dir / "Molvane" / "Molvane.conf") << "[General]\nFramePoolMegabytes=4\n";
    CliRun grab = cli("grab GV01 --count 2 --out " + (dir / "frames").string(), environment);
    EXPECT_NE(grab.out.find("received 2 frames"), std::string::npos) << grab.out;
    fs::remove_all(dir);
}

TEST(Cli, SoftwareTriggersAndShotsDeliverExactlyTheirFrames)
{
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-shot-" + std::to_string(getpid()));
    CliRun trigger = cli("--simulate 1 trigger SIM00001 --software --count 3");
    EXPECT_EQ(trigger.status, 0) << trigger.out;
    EXPECT_NE(trigger.out.find("triggered 3 times, received 3 frames, 0 untriggered"), std::string::npos);
    CliRun shot = cli("--simulate 1 shot SIM00001 --frames 5 --out " + dir.string());
    EXPECT_EQ(shot.status, 0) << shot.out;
    EXPECT_TRUE(fs::exists(dir / "frame_00004.raw"));
    EXPECT_FALSE(fs::exists(dir / "frame_00005.raw"));
    EXPECT_EQ(cli("--simulate 1 shot SIM00001 --frames 1 --out " + (dir / "one").string()).status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "one"), fs::directory_iterator()), 1);
    // Usage errors and refusals keep the exit codes of the other commands.
    EXPECT_EQ(cli("--simulate 1 trigger SIM00001").status, 2);
    EXPECT_EQ(cli("--simulate 1 trigger SIM00001 --software --count 0").status, 2);
    EXPECT_EQ(cli("--simulate 1 shot SIM00001 --frames 65536 --out " + dir.string()).status, 2);
    EXPECT_EQ(cli("--simulate 1 shot SIM00001 --frames 2").status, 2);
    EXPECT_EQ(cli("--simulate 1 --sim-fault 1:held trigger SIM00001 --software").status, 1);
    fs::remove_all(dir);

    // The fake GigE Vision camera: one frame per software trigger, one frame for a single shot.
    ChildProcess fake(fakeCameraCommand());
    ASSERT_TRUE(fake.running());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    CliRun real = cli("trigger GV01 --software --count 2");
    EXPECT_EQ(real.status, 0) << real.out;
    EXPECT_NE(real.out.find("received 2 frames, 0 untriggered"), std::string::npos) << real.out;
    CliRun single = cli("shot GV01 --frames 1 --out " + dir.string());
    EXPECT_EQ(single.status, 0) << single.out;
    EXPECT_NE(single.out.find("shot 1 frames"), std::string::npos) << single.out;
    fs::remove_all(dir);
}

TEST(Cli, VersionHelpUnknownOptionsAndJsonFollowTheCommandLineConventions)
{
    const std::regex version("^molvane(-cli)? [0-9]+\\.[0-9]+\\.[0-9]+\n$");
    for (const std::string program : {MOLVANE_CLI, MOLVANE_APP}) {
        SCOPED_TRACE(program);
        const CliRun v = run(program, "--version");
        EXPECT_EQ(v.status, 0);
        EXPECT_TRUE(std::regex_match(v.out, version)) << v.out;
        EXPECT_EQ(run(program, "--help").status, 0);
        // An unknown option: one line naming it, and the usage exit status.
        const CliRun bad = run(program, "--simulate 1 --frobnicate");
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(std::count(bad.out.begin(), bad.out.end(), '\n'), 1) << bad.out;
        EXPECT_NE(bad.out.find("--frobnicate"), std::string::npos);
    }
    EXPECT_EQ(cli("-x list").status, 2);
    EXPECT_EQ(cli("--simulate").status, 2);
    // A negative number is a value, not an option: the camera refuses it (1), not the parser (2).
    EXPECT_EQ(cli("--simulate 1 set GC1280 OffsetX -8").status, 1);

    const CliRun list = cli("--simulate 2 --json list");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("\"name\": \"[1394] SIM-FM1024 (SIM00002)\"}]\n"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.front(), '[');
    EXPECT_EQ(cli("--simulate 1 --json get GC1280 Width").out,
              "{\"node\": \"Width\", \"type\": \"IInteger\", \"value\": 1280}\n");
    EXPECT_EQ(cli("--simulate 1 get GC1280 PixelFormat --json").out,
              "{\"node\": \"PixelFormat\", \"type\": \"IEnumeration\", \"value\": \"BayerGR8\"}\n");
    const CliRun info = cli("--simulate 1 --json info GC1280");
    EXPECT_NE(info.out.find("\"serial\": \"SIM00001\""), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"size\": \"1280 x 960\""), std::string::npos) << info.out;
    const CliRun tree = cli("--simulate 1 --json tree GC1280 --visibility beginner");
    EXPECT_NE(tree.out.find("{\"name\": \"Width\", \"type\": \"IInteger\", \"access\": \"RW\"}"),
              std::string::npos);
    EXPECT_EQ(std::count(tree.out.begin(), tree.out.end(), '['), std::count(tree.out.begin(), tree.out.end(), ']'));
}

TEST(Cli, FeatureFilesRoundTripOnTheFakeGigEVisionCameraAndBadLinesAreReported)
{
    ChildProcess fake(fakeCameraCommand());
    ASSERT_TRUE(fake.running());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const fs::path dir = fs::temp_directory_path() / ("molvane-cli-features-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const auto read = [](const fs::path &p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_EQ(cli("save-features GV01 " + (dir / "a.txt").string()).status, 0);
    const std::string saved = read(dir / "a.txt");
    EXPECT_NE(saved.find("\nWidth="), std::string::npos) << saved;
    EXPECT_EQ(saved.find("GevSCDA="), std::string::npos) << "the stream destination belongs to the session";

    EXPECT_EQ(cli("set GV01 Width 320").status, 0);
    EXPECT_EQ(cli("set GV01 Gain 7").status, 0);
    ASSERT_EQ(cli("save-features GV01 " + (dir / "changed.txt").string()).status, 0);
    EXPECT_NE(read(dir / "changed.txt"), saved);
    const CliRun load = cli("load-features GV01 " + (dir / "a.txt").string());
    EXPECT_EQ(load.status, 0) << load.out;
    ASSERT_EQ(cli("save-features GV01 " + (dir / "b.txt").string()).status, 0);
    EXPECT_EQ(read(dir / "b.txt"), saved);

    std::ofstream(dir / "bad.txt") << "Width=abc\nGain=3\nBogus=1\n\x01\x02\xff\n";
    const CliRun bad = cli("load-features GV01 " + (dir / "bad.txt").string());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("applied 1 features"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("line 1: Width=abc"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("line 3: Bogus=1"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("line 4: "), std::string::npos) << bad.out;
    EXPECT_EQ(cli("get GV01 Gain").out, "3\n");
    EXPECT_EQ(cli("load-features GV01 " + (dir / "missing.txt").string()).status, 1);
    fs::remove_all(dir);
}
