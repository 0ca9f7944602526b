// The desktop program: options, simulated cameras, the application on Qt.
#include "app/CMolvaneApp.h"
#include "app/CSoakDriver.h"
#ifdef MOLVANE_HAVE_ARAVIS
#include "camera/aravis/AravisDiscovery.h"
#endif
#ifdef MOLVANE_HAVE_DC1394
#include "camera/iidc/Dc1394Library.h"
#include "camera/iidc/IidcDiscovery.h"
#endif
#include "camera/ComponentVersions.h"
#include "camera/FrameBudget.h"
#include "camera/display/QtDisplayInstall.h"
#include "camera/sim/SimulatedCameras.h"
#include "framework/Platform.h"
#include "framework/qt/QtHost.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <malloc.h>
#include <memory>

namespace {

const char *kUsage =
    "Usage: molvane [--simulate N] [--sim-fault CAMERA:FAULT]...\n"
    "       molvane --help | --version\n"
    "  --simulate N            list N simulated cameras (GigE colour, IEEE 1394 mono, GigE YUV, ...)\n"
    "  --sim-fault N:held      simulated camera N is held by another application\n"
    "  --sim-fault N:unopenable          camera N cannot be opened\n"
    "  --sim-fault N:drop=PERCENT        camera N loses that share of its frames\n"
    "  --sim-fault N:arrive=SECONDS      camera N is connected that long after start\n"
    "  --sim-fault N:remove=SECONDS      camera N is disconnected that long after start\n"
    "  --sim-fault N:line=HZ             camera N's trigger input lines pulse HZ times a second\n"
    "  --soak-driver           a scripted operator opens, plays, records and switches pages\n"
    "                          every second and reports frame counts on standard output\n"
    "  --soak-ticks N          the same, and the program ends after N of its seconds\n"
    "Qt's own options (-platform, -style, ...) are passed on. Exit status 2: a usage error.\n";

bool parseOptions(int argc, char **argv, int &simulate, cam::SimulatedCameras &sims, int &soak)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        auto value = [&]() -> const char * { return i + 1 < argc ? argv[++i] : nullptr; };
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::cout << kUsage;
            std::exit(0);
        } else if (!std::strcmp(a, "--version")) {
            std::cout << "molvane " << cam::molvaneVersionText() << "\n";
            std::exit(0);
        } else if (!std::strcmp(a, "--simulate")) {
            const char *v = value();
            char *end = nullptr;
            long n = v ? std::strtol(v, &end, 10) : -1;
            if (!v || *end || n < 0 || n > 64) {
                std::cerr << "molvane: --simulate takes a number of cameras from 0 to 64\n";
                return false;
            }
            simulate = static_cast<int>(n);
        } else if (!std::strcmp(a, "--soak-driver")) {
            soak = std::max(soak, 0);
        } else if (!std::strcmp(a, "--soak-ticks")) {
            const char *v = value();
            char *end = nullptr;
            const long n = v ? std::strtol(v, &end, 10) : 0;
            if (!v || *end || n < 1 || n > 1000000) {
                std::cerr << "molvane: --soak-ticks takes a number of seconds from 1 to 1000000\n";
                return false;
            }
            soak = static_cast<int>(n);
        } else if (!std::strcmp(a, "--sim-fault")) {
            const char *v = value();
            std::string error;
            if (!v || !sims.addFault(v, &error)) {
                std::cerr << "molvane: " << (v ? error : "--sim-fault needs CAMERA:FAULT") << "\n";
                return false;
            }
        } else if (!std::strncmp(a, "--", 2)) {
            std::cerr << "molvane: unknown option \"" << a << "\" (see molvane --help)\n";
            std::exit(2);
        }
        // Anything else is Qt's (-platform, -style, ...).
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Frame pools and writer buffers of several megabytes come and go with cameras and
    // recordings. A fixed threshold keeps such blocks mapped on their own, so freeing one gives
    // its memory back to the system; glibc's sliding threshold would move them into the heap,
    // where freed blocks stay resident and the process grows with every camera opened again.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    cam::SimulatedCameras sims;
    int simulate = -1;
    int soak = -1;  // -1: no driver, 0: one without end, N: one that ends after N ticks
    if (!parseOptions(argc, argv, simulate, sims, soak)) {
        std::cerr << kUsage;
        return 2;
    }
    std::unique_ptr<CMolvaneApp> app;
    std::unique_ptr<CSoakDriver> driver;
#ifdef MOLVANE_HAVE_ARAVIS
    cam::AravisDiscovery real;  // real cameras are always listed
#endif
#ifdef MOLVANE_HAVE_DC1394
    std::string no1394;
    cam::IidcDiscovery iidc(cam::Dc1394Library::create(no1394));
    if (!no1394.empty())
        std::cerr << "IEEE 1394 cameras are not listed: " << no1394 << "\n";
#endif
    return fw::runWithQt(
        argc, argv,
        [&] {
            cam::installQtDisplay();
#ifdef MOLVANE_HAVE_ARAVIS
            real.start();
#endif
#ifdef MOLVANE_HAVE_DC1394
            iidc.start();
#endif
            // Without --simulate, the "SimulatedCameras" setting says how many to list.
            sims.install(simulate >= 0 ? simulate
                                       : cam::SimulatedCameras::countFromSetting(
                                             fw::platform().settings().value("SimulatedCameras")));
            // Memory for one camera's frames, in MiB; the default when unset.
            cam::FrameBudget::setMegabytesFromSetting(fw::platform().settings().value("FramePoolMegabytes"));
            app = std::make_unique<CMolvaneApp>();
            if (!app->InitInstance())
                return false;
            if (soak >= 0)
                (driver = std::make_unique<CSoakDriver>(std::cout, soak))->Start();
            return true;
        },
        [&] {
            driver.reset();
            app.reset();
#ifdef MOLVANE_HAVE_ARAVIS
            real.stop();
#endif
#ifdef MOLVANE_HAVE_DC1394
            iidc.stop();
#endif
            sims.uninstall();
        });
}
