// sing_soak: keeps SING32.DLL busy the way a long-running agent does and
// fails when the process's handle count or private bytes grow. Three phases,
// each measured after its own warm-up:
//   1. full cycles of every registered gatherer, library loaded throughout;
//   2. SING_FillDMIInfo calls, library still loaded;
//   3. load / one full cycle / unload of the library.
// Exit code: 0 pass, 1 growth beyond a bound or a failed cycle, 2 usage or
// set-up error. Standard output carries the report; progress goes to
// standard error.
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ProcessStats.h"
#include "ProcessModules.h"
#include "Timing.h"

namespace {

struct Options {
    std::string dll = "SING32.DLL";
    long cycles = 100000;
    long dmi = 10000;
    long loads = 1000;
    long maxHandleGrowth = 4;
    long maxPrivateGrowthKb = 256;
};

void Usage() {
    std::fputs(
        "usage: sing_soak [--cycles N] [--dmi M] [--loads K] [--max-handles H]\n"
        "                 [--max-private-kb B] [--dll PATH]\n"
        "  N full cycles of every registered gatherer (default 100000), M\n"
        "  SING_FillDMIInfo calls (10000), K load/unload cycles (1000). Fails when\n"
        "  a phase grows the handle count by more than H (4) or private bytes by\n"
        "  more than B KB (256) after its warm-up.\n",
        stderr);
}

bool ParseCount(const char* text, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0)
        return false;
    out = v;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* v = argv[++i];
        bool ok = a == "--dll" ? (o.dll = v, true)
                  : a == "--cycles" ? ParseCount(v, o.cycles)
                  : a == "--dmi" ? ParseCount(v, o.dmi)
                  : a == "--loads" ? ParseCount(v, o.loads)
                  : a == "--max-handles" ? ParseCount(v, o.maxHandleGrowth)
                  : a == "--max-private-kb" ? ParseCount(v, o.maxPrivateGrowthKb)
                  : false;
        if (!ok)
            return false;
    }
    return true;
}

// Progress of a phase on standard error: rewritten in place about once a
// second on a terminal, one line every 30 seconds otherwise (logs of CI runs).
const bool kProgressOnTerminal = _isatty(_fileno(stderr)) != 0;

class Progress {
public:
    Progress(const char* phase, long total) : phase_(phase), total_(total), next_(kEvery) {}

    void Done(long done) {
        double elapsed = clock_.Seconds();
        if (elapsed < next_)
            return;
        next_ = elapsed + kEvery;
        shown_ = true;
        double left = done > 0 ? elapsed * double(total_ - done) / double(done) : 0.0;
        std::fprintf(stderr, "%s%s: %ld of %ld, %.0f s elapsed, about %.0f s left%s", kProgressOnTerminal ? "\r" : "",
                     phase_, done, total_, elapsed, left, kProgressOnTerminal ? "   " : "\n");
        std::fflush(stderr);
    }

    ~Progress() {
        if (shown_ && kProgressOnTerminal)
            std::fputc('\n', stderr);
    }

private:
    static constexpr double kShortEvery = 1.0, kLongEvery = 30.0;
    const double kEvery = kProgressOnTerminal ? kShortEvery : kLongEvery;
    const char* phase_;
    long total_;
    Stopwatch clock_;
    double next_;
    bool shown_ = false;
};

// Warm-up length for a phase of n iterations: enough for lazily created
// runtime and Wine state to settle before the first measurement.
long WarmUp(long n) { return n == 0 ? 0 : std::max(20L, n / 100); }

struct PhaseResult {
    const char* name;
    long iterations;
    double seconds;
    ProcessStats start, end;
    bool failed;  // a cycle or an unload failed during the phase
};

class Soak {
public:
    explicit Soak(const Options& o) : o_(o) {}

    int Run() {
        ProcessStats beforeLoad = ProcessStats::Now();
        if (!beforeLoad.Valid()) {
            std::fputs("sing_soak: neither the handle count nor the private bytes can be read\n", stderr);
            return 2;
        }
        std::vector<HMODULE> modulesBefore = LoadedModules();
        std::string error;
        if (!lib_.Load(o_.dll, error)) {
            std::fprintf(stderr, "sing_soak: %s\n", error.c_str());
            return 2;
        }
        ProcessStats afterLoad = ProcessStats::Now();
        gatherers_ = lib_.Discover();
        bool firstOk = CycleAll(lib_, gatherers_, buf_);
        ProcessStats afterCycle = ProcessStats::Now();
        std::string path = lib_.ModulePath();
        std::vector<std::string> pinned = PinSystemModules(modulesBefore);

        std::printf("library: %s, %lld bytes\n", path.c_str(), FileSize(path));
        std::printf("measured: handles from %s, private bytes from %s\n", beforeLoad.handleSource,
                    beforeLoad.memorySource);
        std::printf("gatherers registered: %zu", gatherers_.size());
        for (const auto& g : gatherers_)
            std::printf("%s %u \"%s\" 0x%08X", &g == &gatherers_.front() ? " --" : ",", g.index,
                        g.name.c_str(), g.packetId);
        std::printf("\nprivate bytes: %lld KB before load, %lld KB after load (+%lld KB), "
                    "%lld KB after the first cycle\n",
                    beforeLoad.privateBytes / 1024, afterLoad.privateBytes / 1024,
                    (afterLoad.privateBytes - beforeLoad.privateBytes) / 1024, afterCycle.privateBytes / 1024);
        std::printf("system DLLs kept loaded:");
        for (const std::string& p : pinned)
            std::printf(" %s", p.c_str());
        std::puts(pinned.empty() ? " none" : "");
        if (!firstOk)
            std::puts("first cycle: a gatherer returned an inconsistent buffer");

        std::vector<PhaseResult> phases;
        phases.push_back(Measure("gatherer cycles", o_.cycles, [this] { return CycleAll(lib_, gatherers_, buf_); }));
        uint32_t next = 0;
        phases.push_back(Measure("FillDMIInfo calls", o_.dmi, [this, &next] {
            // Round robin over the registered gatherers; slot 0 when there are
            // none, which still opens and closes the bag file.
            uint32_t index = gatherers_.empty() ? 0 : gatherers_[next++ % gatherers_.size()].index;
            uint32_t r = lib_.fillDMIInfo(index, 0, 0, 0);
            return gatherers_.empty() || r == 1;
        }));
        if (!lib_.Unload()) {
            std::puts("unload: the library stayed mapped after FreeLibrary");
            return 1;
        }
        phases.push_back(Measure("load/unload cycles", o_.loads, [this] { return LoadCycleUnload(); }));
        return Report(phases, firstOk);
    }

private:
    template <typename Step>
    PhaseResult Measure(const char* name, long n, Step step) {
        bool ok = true;
        for (long i = 0; i < WarmUp(n); ++i)
            ok &= step();
        PhaseResult r{name, n, 0, ProcessStats::Now(), {}, false};
        Stopwatch clock;
        {
            Progress progress(name, n);
            for (long i = 0; i < n; ++i) {
                ok &= step();
                progress.Done(i + 1);
            }
        }
        r.seconds = clock.Seconds();
        r.end = ProcessStats::Now();
        r.failed = !ok;
        return r;
    }

    bool LoadCycleUnload() {
        std::string error;
        if (!lib_.Load(o_.dll, error)) {
            std::fprintf(stderr, "sing_soak: %s\n", error.c_str());
            return false;
        }
        bool ok = CycleAll(lib_, lib_.Discover(), buf_);
        return lib_.Unload() && ok;
    }

    int Report(const std::vector<PhaseResult>& phases, bool firstOk) {
        std::printf("bounds per phase: handle count +%ld, private bytes +%ld KB\n\n", o_.maxHandleGrowth,
                    o_.maxPrivateGrowthKb);
        std::puts("| Phase | Iterations | Time (s) | Per iteration (us) | Handles start -> end | "
                  "Private KB start -> end |");
        std::puts("|---|---:|---:|---:|---|---|");
        bool pass = firstOk;
        for (const PhaseResult& p : phases) {
            long long dh = p.end.handles - p.start.handles;
            long long dp = p.end.privateBytes - p.start.privateBytes;
            std::printf("| %s | %ld | %.2f | %.1f | %lld -> %lld (%+lld) | %lld -> %lld (%+lld) |\n", p.name,
                        p.iterations, p.seconds, p.iterations ? p.seconds * 1e6 / double(p.iterations) : 0.0,
                        p.start.handles, p.end.handles, dh, p.start.privateBytes / 1024, p.end.privateBytes / 1024,
                        dp / 1024);
            if (p.failed)
                std::printf("FAIL: %s: a call failed or a buffer was inconsistent\n", p.name);
            if (dh > o_.maxHandleGrowth)
                std::printf("FAIL: %s: handle count grew by %lld\n", p.name, dh);
            if (dp > o_.maxPrivateGrowthKb * 1024)
                std::printf("FAIL: %s: private bytes grew by %lld KB\n", p.name, dp / 1024);
            pass &= !p.failed && dh <= o_.maxHandleGrowth && dp <= o_.maxPrivateGrowthKb * 1024;
        }
        std::printf("\nresult: %s\n", pass ? "PASS" : "FAIL");
        return pass ? 0 : 1;
    }

    Options o_;
    SingClient lib_;
    std::vector<SingClient::GathererInfo> gatherers_;
    std::vector<uint8_t> buf_;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return Soak(o).Run();
}
