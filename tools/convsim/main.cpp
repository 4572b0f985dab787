// tovik-convsim: a simulated converter on a pseudo-terminal.
#include "convsim/controlchannel.h"
#include "convsim/programoptions.h"
#include "convsim/simulator.h"
#include "convsim/statedump.h"
#include "stopsignals.h"
#include "toolcli.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    convsim::ProgramOptions opts;
    std::string error;
    toolcli::Reading reading;
    reading.ok = convsim::ParseProgramOptions(args, opts, &error);
    reading.error = error;
    reading.help = opts.help;
    reading.version = opts.version;
    const int concluded = toolcli::Conclude("tovik-convsim", reading, convsim::ProgramUsage());
    if (concluded >= 0)
        return concluded;

    // Block the stop signals before the serving thread exists, so that only
    // the main thread takes them.
    const sigset_t stopSignals = toolcli::BlockStopSignals();
    std::signal(SIGPIPE, SIG_IGN);

    convsim::Simulator sim(opts.personality, opts.frameGapMs);
    for (const convsim::Fault& f : opts.faults)
        sim.AddFault(f);
    // The dump's first lines go out before serving starts; from then on
    // only the serving thread touches it.
    convsim::StateDump dump;
    auto printDump = [&sim, &dump] {
        for (const std::string& line : dump.Changes(sim))
            std::printf("%s\n", line.c_str());
    };
    if (opts.dump)
        printDump();
    if (opts.verbose || opts.dump)
        sim.SetObserver([&opts, &printDump](const convsim::LogEntry& e) {
            if (opts.verbose)
                std::printf("%s\n", convsim::FormatLogEntry(e).c_str());
            if (opts.dump)
                printDump();
            std::fflush(stdout);
        });
    if (!sim.Start(opts.link, &error)) {
        std::fprintf(stderr, "tovik-convsim: %s\n", error.c_str());
        return 1;
    }
    convsim::ControlChannel control;
    if (!opts.control.empty() && !control.Open(opts.control, &error)) {
        std::fprintf(stderr, "tovik-convsim: %s\n", error.c_str());
        sim.Stop();
        return 1;
    }
    std::printf("tovik-convsim: type %d serving %s at %s\n", opts.personality.moduleType,
                sim.SlaveName().c_str(), opts.link.c_str());
    std::fflush(stdout);

    const timespec tick{0, 100 * 1000 * 1000};
    int code = 0;
    for (;;) {
        const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig == SIGTERM || sig == SIGINT)
            break;
        control.Poll(sim);
        if (!sim.IsPlugged()) {
            std::printf("tovik-convsim: unplugged\n");
            code = 3;
            break;
        }
    }
    sim.Stop();
    std::fflush(stdout);
    return code;
}
