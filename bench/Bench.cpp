// sing_bench: how long SING32.DLL takes to gather its facts, and how long the
// same facts take through WMI in the same process. Prints the median and
// spread of one full cycle of all gatherers, of each gatherer's Update and
// full cycle, and of four WMI queries, then the ratio of the medians. It
// also reports the library's file size and the private bytes its load adds,
// and times each registry-reading gatherer's Update beside its floor (the OS
// calls that fetch the same facts, made directly), saying at the end whether
// the Update is within 1.2x of it. With --layout the library reads one of the
// registry layouts of real machines instead of this one's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "BagBench.h"
#include "Floors.h"
#include "Layout.h"
#include "ProcessModules.h"
#include "ProcessStats.h"
#include "Timing.h"
#include "Wmi.h"

namespace {

struct Options {
    std::string dll = "SING32.DLL";
    long reps = 1000;    // samples per SING32 measurement
    long wmiReps = 50;   // samples per WMI query
    long bagReps = 20;   // samples per large bag file
    bool bagOnly = false;
    std::string layout;  // a built-in registry layout, or this machine's registry
};

void Usage() {
    std::fputs(
        "usage: sing_bench [--reps N] [--wmi-reps M] [--bag-reps B] [--bag-only] [--dll PATH] [--layout NAME]\n"
        "  N samples of each SING32 measurement (default 1000), M samples of each\n"
        "  WMI query (default 50), B samples of each large bag file open (default 20;\n"
        "  --bag-only: nothing else). NAME: a registry layout the library reads instead\n"
        "  of this machine's (nt4, win2000, xp, win7, win10, win10up, or an export\n"
        "  file's path), except the network cards.\n",
        stderr);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--bag-only") {
            o.bagOnly = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        std::string v = argv[++i];
        char* end = nullptr;
        long n = std::strtol(v.c_str(), &end, 10);
        bool number = end != v.c_str() && *end == '\0' && n > 0;
        if (a == "--dll") o.dll = v;
        else if (a == "--layout") o.layout = v;
        else if (a == "--reps" && number) o.reps = n;
        else if (a == "--wmi-reps" && number) o.wmiReps = n;
        else if (a == "--bag-reps" && number) o.bagReps = n;
        else return false;
    }
    return true;
}

void PrintHeader() {
    std::puts("| Measurement | Samples | Median (us) | Min | P10 | P90 | Max |");
    std::puts("|---|---:|---:|---:|---:|---:|---:|");
}

void PrintRow(const std::string& what, const Summary& s) {
    std::printf("| %s | %zu | %.1f | %.1f | %.1f | %.1f | %.1f |\n", what.c_str(), s.count, s.median, s.min,
                s.p10, s.p90, s.max);
}

// How far above its floor's median an Update's median may lie.
const double kFloorBound = 1.2;

std::string Label(const SingClient::GathererInfo& g) {
    return "\"" + g.name + "\" (" + std::to_string(g.index) + ")";
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string error;
    auto fail = [&error](const std::string& what) {
        std::fprintf(stderr, "sing_bench: %s%s\n", what.c_str(), error.c_str());
        return 2;
    };

    LargeBagFiles bags;
    if (!bags.Create(error))
        return fail("");
    std::puts("Large bag files opened through BagFile, as SING_FillDMIInfo opens its file");
    PrintHeader();
    for (const auto& f : bags.Files())
        PrintRow(f.label + (LargeBagFiles::Open(f.path) ? ": opened" : ": refused"),
                 Sample(o.bagReps, [&] { LargeBagFiles::Open(f.path); }));
    if (o.bagOnly)
        return 0;

    SingClient lib;
    std::vector<uint8_t> buf;
    RegistryStandIn standIn;
    if (!o.layout.empty() && !StandInLayout(standIn, o.layout, error))
        return fail("layout " + o.layout + ": ");
    // A first load and cycle, then unload, leaves the system DLLs the library
    // uses loaded (as in an agent), so the footprint below is the library's.
    std::vector<HMODULE> modulesBefore = LoadedModules();
    if (!lib.Load(o.dll, error))
        return fail("");
    CycleAll(lib, lib.Discover(), buf);
    PinSystemModules(modulesBefore);
    lib.Unload();

    ProcessStats beforeLoad = ProcessStats::Now();
    Stopwatch loadTime;
    if (!lib.Load(o.dll, error))
        return fail("");
    double loadMicros = loadTime.Micros();
    ProcessStats afterLoad = ProcessStats::Now();
    auto gatherers = lib.Discover();
    bool consistent = CycleAll(lib, gatherers, buf);
    ProcessStats afterCycle = ProcessStats::Now();
    std::string path = lib.ModulePath();

    std::printf("library: %s\n", path.c_str());
    std::printf("footprint: file %lld bytes; private bytes +%lld KB after loading it with its companion DLLs (%.0f us), "
                "+%lld KB after the first full cycle\n",
                FileSize(path), (afterLoad.privateBytes - beforeLoad.privateBytes) / 1024, loadMicros,
                (afterCycle.privateBytes - beforeLoad.privateBytes) / 1024);
    std::printf("gatherers registered: %zu\n", gatherers.size());
    if (!consistent)
        std::puts("warning: a gatherer returned an inconsistent buffer");
    for (int i = 0; i < 5; ++i)
        CycleAll(lib, gatherers, buf);

    std::puts("\nSING32.DLL");
    PrintHeader();
    Summary full = Sample(o.reps, [&] { CycleAll(lib, gatherers, buf); });
    PrintRow("full cycle, all " + std::to_string(gatherers.size()) + " gatherers", full);
    for (const auto& g : gatherers) {
        lib.init(g.index);
        PrintRow(Label(g) + " Update", Sample(o.reps, [&] { lib.update(g.index, nullptr, 0); }));
        lib.close(g.index);
        PrintRow(Label(g) + " full cycle", Sample(o.reps, [&] { lib.FullCycle(g.index, buf); }));
    }

    // Update and its floor alternate, so that both see the same load.
    std::printf("\nUpdate beside its floor (the OS calls that fetch the same facts, made directly); registry: %s\n",
                o.layout.empty() ? "this machine's" : ("layout " + o.layout).c_str());
    std::puts("| Gatherer | Samples | Update median (us) | Floor median (us) | Floor OS calls | Update / floor |");
    std::puts("|---|---:|---:|---:|---:|---:|");
    std::vector<std::pair<std::string, double>> floorRatios;
    for (const auto& g : gatherers) {
        FloorFn floor = FloorOf(g.name);
        if (floor == nullptr)
            continue;
        lib.init(g.index);
        long calls = floor();
        std::vector<Summary> s = SampleRounds(o.reps, 2, [&](size_t k) {
            if (k == 0)
                lib.update(g.index, nullptr, 0);
            else
                floor();
        });
        lib.close(g.index);
        floorRatios.emplace_back(Label(g), s[0].median / s[1].median);
        std::printf("| %s | %zu | %.1f | %.1f | %ld | %.2fx |\n", Label(g).c_str(), s[0].count, s[0].median,
                    s[1].median, calls, floorRatios.back().second);
    }
    standIn.Restore();

    WmiResult wmi = MeasureWmi(o.wmiReps);
    std::puts("\nWMI, in-process, one IWbemServices connection to ROOT\\CIMV2");
    if (!wmi.error.empty()) {
        std::printf("WMI measurement failed: %s\n", wmi.error.c_str());
    } else {
        std::printf("connect (locator + ConnectServer, once): %.1f us\n", wmi.connectMicros);
        PrintHeader();
        for (const auto& [label, s] : wmi.rows)
            PrintRow(label, s);
    }

    std::puts("");
    if (wmi.error.empty() && !gatherers.empty())
        std::printf("ratio of medians, WMI queries / SING32 full cycle: %.1fx\n",
                    wmi.rows[0].second.median / full.median);
    for (const auto& [label, ratio] : floorRatios)
        std::printf("%s Update within %.1fx of its floor: %s (%.2fx)\n", label.c_str(), kFloorBound,
                    ratio <= kFloorBound ? "yes" : "no", ratio);
    return wmi.error.empty() ? 0 : 1;
}
