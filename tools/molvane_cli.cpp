// molvane-cli: the camera component from the command line, for scripts and quick checks.
// Exit status: 0 done, 1 a camera refused (the component's code is in the message), 2 usage.
#include "camera/CMolvane.h"
#include "camera/CameraError.h"
#include "camera/ComponentVersions.h"
#include "camera/FeatureFile.h"
#include "camera/FrameBudget.h"
#include "camera/sim/SimulatedCameras.h"
#include "framework/headless/HeadlessPlatform.h"
#include "tools/CliArguments.h"
#include "tools/DesktopSettings.h"
#include "tools/JsonText.h"
#ifdef MOLVANE_HAVE_ARAVIS
#include "camera/aravis/AravisDiscovery.h"
#include "camera/aravis/ReceivePath.h"
#endif
#ifdef MOLVANE_HAVE_DC1394
#include "camera/iidc/Dc1394Library.h"
#include "camera/iidc/IidcDiscovery.h"
#endif

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Frames a grab or trigger run may ask for, and seconds of a recording: their waits in
// milliseconds stay within an int.
constexpr long kMaxFrames = 1000000;
constexpr long kMaxSeconds = 86400;

const char *kUsage =
    "usage: molvane-cli [--simulate N] [--sim-fault CAMERA:FAULT]... [--multicast | --monitor]\n"
    "                   [--json] COMMAND ...\n"
    "       molvane-cli --help | --version\n"
    "  list\n"
    "  info CAMERA\n"
    "  tree CAMERA [--visibility beginner|expert|guru]\n"
    "  get CAMERA NODE\n"
    "  set CAMERA NODE VALUE\n"
    "  exec CAMERA NODE\n"
    "  read-register CAMERA ADDRESS          (hexadecimal)\n"
    "  write-register CAMERA ADDRESS VALUE   (hexadecimal)\n"
    "  grab CAMERA --count N --out DIR [--format raw|bmp|jpg|tif|png] [--stats]\n"
    "  record CAMERA --seconds N --out FILE.avi [--codec NAME]\n"
    "  trigger CAMERA --software [--count N]    (one frame for each software trigger)\n"
    "  shot CAMERA --frames N --out DIR [--format raw|bmp|jpg|tif|png]   (a one or multi shot)\n"
    "  save-features CAMERA FILE\n"
    "  load-features CAMERA FILE\n"
    "CAMERA is a list position from 0 or a text contained in the camera's list line.\n"
    "--multicast opens GigE Vision cameras with control, streaming to a multicast group;\n"
    "--monitor receives the stream of a camera another application controls.\n"
    "--stats prints the frames and packets the transport received, resent and lost.\n"
    "--json prints list, info, get and tree as JSON.\n"
    "Exit status: 0 done, 1 a camera error, 2 a usage error.\n";

struct Counter : cam::CameraEvents {
    int images = 0;
    int drops = 0;
    std::function<void()> onImage;
    void ImageReceived(int) override
    {
        ++images;
        if (onImage)
            onImage();
    }
    void FrameDropped() override { ++drops; }
};

class Cli {
public:
    explicit Cli(CliArguments args) : args_(std::move(args)) {}
    int run();

private:
    std::string arg(size_t i, const char *what) const { return args_.word(i, what); }
    void openCamera(const std::string &which);
    void list();
    void info();
    void show(const char *label, const std::function<std::string()> &read);
    std::string imageFormat();
    void tree();
    void printTree(const std::string &node, int depth);
    std::string jsonTree(const std::string &node);
    std::string jsonValue(const std::string &node, const std::string &type);
    void get();
    void set();
    void grab();
    void saveFeatures();
    void loadFeatures();
    void record();
    void trigger();
    void shot();
    bool waitFrames(int count, int timeoutMs);
    // Frames arriving after a wait that should see none.
    int framesWithin(int ms);
    std::string prepareFolder();
    void saveEachFrame(const std::string &out, const std::string &format, long count, int &saved);

    CliArguments args_;
    std::vector<std::pair<std::string, std::string>> fields_;  // info, in the order read
    fw::HeadlessPlatform platform_;
    Counter events_;
    cam::CMolvane camera_;
};

void Cli::openCamera(const std::string &which)
{
    const auto lines = camera_.GetCameraList().value_or(std::vector<std::string>{});
    int position = -1;
    char *end = nullptr;
    const long n = std::strtol(which.c_str(), &end, 10);
    if (!which.empty() && !*end)
        position = n >= 0 && n <= INT_MAX ? static_cast<int>(n) : -1;  // not taken modulo 2^32
    else
        for (size_t i = 0; i < lines.size() && position < 0; ++i)
            if (lines[i].find(which) != std::string::npos)
                position = static_cast<int>(i);
    if (position < 0 || position >= static_cast<int>(lines.size()))
        throw cam::CameraError(cam::code::CannotOpen, "no camera \"" + which + "\" in the list");
    camera_.SetMulticastMode(args_.multicast ? 1 : 0);
    if (args_.monitor)
        camera_.SetAccessMode(2);
    camera_.SetCameraIndex(position);
}

void Cli::list()
{
    const auto lines = camera_.GetCameraList().value_or(std::vector<std::string>{});
    if (!args_.json) {
        for (const auto &line : lines)
            std::cout << line << "\n";
        return;
    }
    std::cout << "[";
    for (size_t i = 0; i < lines.size(); ++i)
        std::cout << (i ? ",\n " : "") << "{\"index\": " << i << ", \"name\": " << cli::jsonString(lines[i]) << "}";
    std::cout << "]\n";
}

void Cli::show(const char *label, const std::function<std::string()> &read)
{
    std::string value;
    try {
        value = read();
    } catch (const cam::CameraError &e) {
        value = std::string("unavailable (") + e.what() + ")";
    }
    fields_.emplace_back(label, value);
}

std::string Cli::imageFormat()
{
    const auto formats = camera_.GetImageFormatList().value_or(std::vector<std::string>{});
    const int format = camera_.GetImageFormat();
    if (format < 0 || format >= static_cast<int>(formats.size()))
        throw cam::CameraError(cam::code::NoSuchFeature, "not one of the camera's formats");
    return formats[format];
}

// Once the camera is open, every line is printed: what cannot be read says so.
void Cli::info()
{
    openCamera(arg(1, "CAMERA"));
    const auto identity = camera_.GetCameraInfo(camera_.GetCameraIndex()).value_or(std::vector<std::string>(7));
    const char *labels[] = {"model", "vendor", "serial", "user name", "version", "ip", "mac"};
    for (size_t i = 0; i < identity.size() && i < 7; ++i)
        if (i != 4)
            fields_.emplace_back(labels[i], identity[i]);
    show("type", [&] { return camera_.GetCameraType() == 0 ? "GigE Vision" : "IEEE 1394"; });
    show("device id", [&] { return camera_.GetStringValue("DeviceID"); });
    show("image format", [&] { return imageFormat(); });
    // Read as 64-bit values: a 32-bit unsigned register must not print as -1.
    show("size", [&] {
        cam::FeatureAccess &f = camera_.device()->features();
        return std::to_string(f.intValue("Width")) + " x " + std::to_string(f.intValue("Height"));
    });
#ifdef MOLVANE_HAVE_ARAVIS
    fields_.emplace_back("receive path", cam::aravisReceivePath());
#endif
    if (args_.json)
        std::cout << cli::jsonObject(fields_) << "\n";
    else
        for (const auto &[label, value] : fields_)
            std::cout << label << ": " << value << "\n";
}

void Cli::tree()
{
    openCamera(arg(1, "CAMERA"));
    camera_.SetVisibility(args_.visibility());
    if (args_.json)
        std::cout << jsonTree("Root") << "\n";
    else
        printTree("Root", 0);
}

// The same tree as nested objects: name, type, access and the children of categories.
std::string Cli::jsonTree(const std::string &node)
{
    std::string out = "[";
    for (const auto &child : camera_.GetChildNodes(node).value_or(std::vector<std::string>{})) {
        const int access = camera_.GetAccessMode(child);
        if (access <= 0)
            continue;
        static const char *modes[] = {"NI", "NA", "WO", "RO", "RW"};
        const std::string type = camera_.GetNodeInterface(child);
        out += (out.size() > 1 ? ", " : "") + std::string("{\"name\": ") + cli::jsonString(child) +
               ", \"type\": " + cli::jsonString(type) +
               ", \"access\": " + cli::jsonString(access <= 4 ? modes[access] : "?");
        if (type == "ICategory")
            out += ", \"children\": " + jsonTree(child);
        out += "}";
    }
    return out + "]";
}

// A node's value as JSON: numbers and booleans bare, strings and enumeration entries quoted.
std::string Cli::jsonValue(const std::string &node, const std::string &type)
{
    cam::FeatureAccess &f = camera_.device()->features();
    if (type == "IInteger")
        return std::to_string(f.intValue(node));
    if (type == "IFloat") {
        std::ostringstream text;
        text.precision(17);
        text << f.floatValue(node);
        return text.str();
    }
    if (type == "IBoolean")
        return f.boolValue(node) ? "true" : "false";
    return cli::jsonString(type == "IString" ? f.stringValue(node) : f.enumValue(node));
}

void Cli::printTree(const std::string &node, int depth)
{
    for (const auto &child : camera_.GetChildNodes(node).value_or(std::vector<std::string>{})) {
        const int access = camera_.GetAccessMode(child);
        if (access <= 0)
            continue;  // not implemented: left out with everything below it
        static const char *modes[] = {"NI", "NA", "WO", "RO", "RW"};
        const std::string type = camera_.GetNodeInterface(child);
        std::cout << std::string(depth * 2, ' ') << child << " [" << type << ", "
                  << (access <= 4 ? modes[access] : "?") << "]\n";
        if (type == "ICategory")
            printTree(child, depth + 1);
    }
}

void Cli::get()
{
    openCamera(arg(1, "CAMERA"));
    const std::string node = arg(2, "NODE");
    const std::string type = camera_.GetNodeInterface(node);
    cam::FeatureAccess &f = camera_.device()->features();
    static const std::set<std::string> valued = {"IInteger", "IFloat", "IBoolean", "IString", "IEnumeration"};
    if (args_.json && valued.count(type))
        std::cout << "{\"node\": " << cli::jsonString(node) << ", \"type\": " << cli::jsonString(type)
                  << ", \"value\": " << jsonValue(node, type) << "}\n";
    else if (type == "IInteger")
        std::cout << f.intValue(node) << "\n";
    else if (type == "IFloat")
        std::cout << camera_.GetFloatValue(node) << "\n";
    else if (type == "IBoolean")
        std::cout << camera_.GetBoolValue(node) << "\n";
    else if (type == "IString")
        std::cout << camera_.GetStringValue(node) << "\n";
    else if (type == "IEnumeration")
        std::cout << camera_.GetEnumValue(node) << "\n";
    else
        throw UsageError("\"" + node + "\" is an " + type + " and has no value");
}

void Cli::set()
{
    openCamera(arg(1, "CAMERA"));
    const std::string node = arg(2, "NODE");
    const std::string value = arg(3, "VALUE");
    const std::string type = camera_.GetNodeInterface(node);
    if (type == "IInteger") {
        camera_.device()->features();  // the camera is open
        camera_.SetIntValue(node, CliArguments::integer(value, 0, "value"));
    } else if (type == "IFloat") {
        camera_.SetFloatValue(node, CliArguments::real(value, "value"));
    } else if (type == "IBoolean") {
        if (value != "0" && value != "1" && value != "true" && value != "false")
            throw UsageError("a boolean is 0, 1, true or false");
        camera_.SetBoolValue(node, value == "1" || value == "true");
    } else if (type == "IString") {
        camera_.SetStringValue(node, value);
    } else if (type == "IEnumeration") {
        camera_.SetEnumValue(node, value);
    } else {
        throw UsageError("\"" + node + "\" is an " + type + " and takes no value");
    }
}

void Cli::saveFeatures()
{
    openCamera(arg(1, "CAMERA"));
    const std::string path = arg(2, "FILE");
    cam::FeatureFile::save(camera_.device()->features(), path, 2);
}

// Everything the camera takes is applied; what it refuses is listed, and makes the status 1.
void Cli::loadFeatures()
{
    openCamera(arg(1, "CAMERA"));
    const std::string path = arg(2, "FILE");
    const cam::FeatureLoadReport report = cam::FeatureFile::load(camera_.device()->features(), path);
    std::cout << "applied " << report.applied << " features from " << path << "\n";
    if (!report.problems.empty())
        throw cam::CameraError(cam::code::Failed, std::to_string(report.problems.size()) + " lines not applied:\n" +
                                                      report.summary(1000));
}

bool Cli::waitFrames(int count, int timeoutMs)
{
    return platform_.processUntil([&] { return events_.images >= count; }, timeoutMs);
}

std::string Cli::prepareFolder()
{
    const std::string out = args_.option("--out");
    if (out.empty())
        return out;
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (!std::filesystem::is_directory(out))
        throw cam::CameraError(cam::code::FileError, "cannot make the folder " + out);
    return out;
}

void Cli::saveEachFrame(const std::string &out, const std::string &format, long count, int &saved)
{
    // Each frame is saved while its event is handled, so every frame asked for is written.
    events_.onImage = [this, out, format, count, &saved] {
        if (saved >= count)
            return;
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%05d.%s", saved, format.c_str());
        const std::string path = out + name;
        camera_.SaveImage(path, 90);
        ++saved;
    };
}

void Cli::grab()
{
    openCamera(arg(1, "CAMERA"));
    const std::string usage = "grab needs --count N (1 to " + std::to_string(kMaxFrames) + ") and --out DIR";
    const long count = args_.count("--count", "1", 1, kMaxFrames, usage);
    const std::string format = args_.imageFormat();
    const std::string out = prepareFolder();
    if (out.empty())
        throw UsageError(usage);
    int saved = 0;
    saveEachFrame(out, format, count, saved);
    camera_.SetAcquisition(1);
    waitFrames(static_cast<int>(count), 10000 + static_cast<int>(count) * 100);
    camera_.SetAcquisition(0);
    platform_.processEvents();
    camera_.FlushImages();
    const cam::WriterStatus written = camera_.imageSaveStatus();
    std::cout << "received " << saved << " frames, dropped " << events_.drops << ", written "
              << written.written << ", not written " << written.lost << "\n";
    if (args_.flag("--stats")) {
        const cam::StreamStatistics s = camera_.device()->streamStatistics();
        std::cout << "stream frames: " << s.framesText() << "\nstream packets: " << s.packetsText() << "\n";
    }
    if (!written.error.empty())
        throw cam::CameraError(cam::code::FileError, written.error);
    if (saved < count)
        throw cam::CameraError(cam::code::Failed, "the camera delivered " + std::to_string(saved) +
                                                      " of " + std::to_string(count) + " frames");
}

int Cli::framesWithin(int ms)
{
    const int before = events_.images;
    platform_.processUntil([] { return false; }, ms);
    return events_.images - before;
}

void Cli::trigger()
{
    const std::string usage = "trigger needs --software and takes --count N (1 to " + std::to_string(kMaxFrames) + ")";
    const long count = args_.count("--count", "1", 1, kMaxFrames, usage);
    if (!args_.flag("--software"))
        throw UsageError(usage);
    openCamera(arg(1, "CAMERA"));
    const std::string oldSource = camera_.GetTriggerSource();
    const int oldOn = camera_.GetTriggerOnOff();
    camera_.SetTriggerSource("Software");
    camera_.SetTriggerOnOff(1);
    camera_.SetAcquisition(1);
    int extra = framesWithin(300);  // nothing may come before the first trigger
    for (long n = 1; n <= count; ++n) {
        const int target = events_.images + 1;
        camera_.SendSoftwareTrigger();
        if (!waitFrames(target, 5000))
            break;
        extra += framesWithin(100);
    }
    const int received = events_.images - extra;
    camera_.SetAcquisition(0);
    camera_.SetTriggerOnOff(oldOn);
    camera_.SetTriggerSource(oldSource);
    std::cout << "triggered " << count << " times, received " << received << " frames, " << extra
              << " untriggered, dropped " << events_.drops << "\n";
    if (received != count || extra != 0)
        throw cam::CameraError(cam::code::Failed, "the camera did not deliver one frame per trigger");
}

void Cli::shot()
{
    openCamera(arg(1, "CAMERA"));
    const std::string usage = "shot needs --frames N (1 to 65535) and --out DIR";
    const long frames = args_.count("--frames", "", 1, 65535, usage);
    const std::string format = args_.imageFormat();
    const std::string out = prepareFolder();
    if (out.empty())
        throw UsageError(usage);
    int saved = 0;
    saveEachFrame(out, format, frames, saved);
    if (frames == 1) {
        camera_.StartOneShot();
    } else {
        camera_.SetMultiShotCount(static_cast<int>(frames));
        camera_.StartMultiShot();
    }
    waitFrames(static_cast<int>(frames), 10000 + static_cast<int>(frames) * 100);
    const int extra = framesWithin(300);
    camera_.SetAcquisition(0);
    camera_.SetAcquisitionMode("Continuous");
    camera_.FlushImages();
    std::cout << "shot " << saved << " frames to " << out << ", " << extra << " more arrived, dropped "
              << events_.drops << "\n";
    if (saved < frames || extra != 0)
        throw cam::CameraError(cam::code::Failed, "the shot delivered " + std::to_string(saved + extra) +
                                                      " frames for " + std::to_string(frames));
}

void Cli::record()
{
    openCamera(arg(1, "CAMERA"));
    const std::string usage = "record needs --seconds N (1 to " + std::to_string(kMaxSeconds) + ") and --out FILE.avi";
    const long seconds = args_.count("--seconds", "", 1, kMaxSeconds, usage);
    const std::string out = args_.option("--out");
    if (out.empty())
        throw UsageError(usage);
    const std::string codec = args_.option("--codec");
    if (!codec.empty())
        camera_.SetAviCodec(codec);
    camera_.SetAcquisition(1);
    if (!waitFrames(1, 10000))
        throw cam::CameraError(cam::code::Failed, "the camera delivers no frames");
    camera_.StartAviCapture(out, static_cast<int>(seconds * 1000));
    const int before = events_.images;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    platform_.processUntil([&] { return std::chrono::steady_clock::now() >= end; }, static_cast<int>(seconds * 1000 + 1000));
    camera_.StopAviCapture();
    camera_.SetAcquisition(0);
    const cam::WriterStatus written = camera_.recordingStatus();
    std::cout << "recorded " << (events_.images - before) << " frames to " << out << ", dropped " << events_.drops
              << ", written " << written.written << ", not written " << written.lost << "\n";
    if (!written.error.empty())
        throw cam::CameraError(cam::code::FileError, written.error);
}

int Cli::run()
{
    camera_.Create("Molvane", [this](std::function<void()> fn) { platform_.post(std::move(fn)); }, &events_);
    const std::string command = arg(0, "COMMAND");
    if (command == "list")
        list();
    else if (command == "info")
        info();
    else if (command == "tree")
        tree();
    else if (command == "get")
        get();
    else if (command == "set")
        set();
    else if (command == "exec") {
        openCamera(arg(1, "CAMERA"));
        camera_.ExecuteCommand(arg(2, "NODE"));
    } else if (command == "read-register") {
        const int address = CliArguments::hex(arg(2, "ADDRESS"), "address");
        openCamera(arg(1, "CAMERA"));
        std::printf("%08x\n", static_cast<unsigned>(camera_.ReadRegister(address)));
    } else if (command == "write-register") {
        const int address = CliArguments::hex(arg(2, "ADDRESS"), "address");
        const int value = CliArguments::hex(arg(3, "VALUE"), "value");
        openCamera(arg(1, "CAMERA"));
        camera_.WriteRegister(address, value);
    } else if (command == "grab")
        grab();
    else if (command == "record")
        record();
    else if (command == "trigger")
        trigger();
    else if (command == "shot")
        shot();
    else if (command == "save-features")
        saveFeatures();
    else if (command == "load-features")
        loadFeatures();
    else
        throw UsageError("unknown command \"" + command + "\"");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    cam::SimulatedCameras sims;
    CliArguments args;
    try {
        args = CliArguments::parse(std::vector<std::string>(argv + 1, argv + argc), sims);
    } catch (const UsageError &e) {
        std::cerr << "molvane-cli: " << e.what() << " (see molvane-cli --help)\n";
        return 2;
    }
    if (args.action == CliArguments::Action::Help) {
        std::cout << kUsage;
        return 0;
    }
    if (args.action == CliArguments::Action::Version) {
        std::cout << "molvane-cli " << cam::molvaneVersionText() << "\n";
        return 0;
    }
#ifdef MOLVANE_HAVE_ARAVIS
    cam::AravisDiscovery real;
    real.scan();  // real cameras first, as in the desktop program
#endif
#ifdef MOLVANE_HAVE_DC1394
    std::string no1394;
    cam::IidcDiscovery iidc(cam::Dc1394Library::create(no1394));
    iidc.scan();  // then IEEE 1394 and USB IIDC cameras, then simulated ones
#endif
    sims.install(args.simulate);
    cam::FrameBudget::setMegabytesFromSetting(DesktopSettings::value("FramePoolMegabytes"));
    int status = 0;
    try {
        if (args.multicast && args.monitor)
            throw UsageError("--multicast and --monitor exclude each other");
        Cli cli(std::move(args));
        status = cli.run();
    } catch (const UsageError &e) {
        std::cerr << "molvane-cli: " << e.what() << "\n" << kUsage;
        status = 2;
    } catch (const cam::CameraError &e) {
        std::cerr << "molvane-cli: camera error " << e.code() << ": " << e.what() << "\n";
        status = 1;
    } catch (const std::bad_alloc &) {
        std::cerr << "molvane-cli: out of memory\n";
        status = 1;
    }
    sims.uninstall();
    return status;
}
