// Measuring from the command line: the Perform Sweep checks, the sweep worker on its own thread with
// a progress bar on standard error, the table rows on standard output, and storing the sweep; the
// realtime readings; and the crossing reports and diagnosis of stored sweeps.
#include "cli/measure_commands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include <unistd.h>

#include "analysis/diagnosis.h"
#include "cli/arguments.h"
#include "interchange/unstored_sweep.h"
#include "cli/database_session.h"
#include "cli/stored_sweep.h"
#include "cli/link_options.h"
#include "common/string_printf.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "instrument/comms_log.h"
#include "instrument/identification.h"
#include "instrument/settings.h"
#include "measure/fra_worker.h"
#include "measure/lcr_worker.h"
#include "measure/sweep_handover.h"
#include "measure/sweep_setup.h"
#include "measure/zero_crossings.h"
#include "platform/clock.h"
#include "platform/interrupts.h"
#include "platform/prompter.h"
#include "platform/thread.h"

namespace cli {

const char* const kMeasureUsage =
    "  corvane sweep fra|lcr LINK [--steps N] [--start F] [--end F] [--min-cycles N] [--speed LABEL]\n"
    "                [--save --db PATH --name NAME --transformer ID --setup ID --equipment ID [--peak V] [--temp T]\n"
    "                 [--comments TEXT]] [--fakesfra FILE] [--timeout SECONDS]\n"
    "  corvane realtime fra|lcr LINK --count N [--timeout SECONDS]\n"
    "    sweep and realtime end on Ctrl-C, SIGTERM or after --timeout seconds as Cancel does: the instrument\n"
    "    is interrupted and let go, nothing is stored, and they exit with 1. The default timeout of a sweep is\n"
    "    60 s for connecting and setting up, plus for each step the longest a point may take: the minimum\n"
    "    cycles at the lowest frequency of the sweep, the settling delay and 1 s for its reply; of realtime,\n"
    "    30 s plus 10 s a reading.\n"
    "  corvane crossings --db PATH SWEEP_ID\n"
    "  corvane diagnose --db PATH FINGERPRINT_ID SWEEP_ID\n";

namespace {

// Setting up a run (connecting, reading and writing the instrument's settings) is given this long
// before its measuring time starts to count.
constexpr double kSetUpSeconds = 60;
// The longest a point of a sweep waits for its reply beyond its measuring time.
constexpr double kPointReplySeconds = 1;
// A realtime reading takes a fraction of a second; this much silence means the instrument has gone.
constexpr unsigned kReadingSilenceMs = 10000;
constexpr double kRealtimeSetUpSeconds = 30;

// Bounds a measurement from outside: Ctrl-C or SIGTERM, and the --timeout deadline counted from the
// command's start. The worker is stopped as the GUI's Cancel stops it.
class RunBound {
public:
    RunBound() : startMs_(platform::nowMs()) {}
    void setTimeout(double seconds) { seconds_ = seconds; }
    // Empty while the run may go on; otherwise why it was cancelled.
    std::string stopReason() const {
        if (interrupts_.raised()) return "interrupted";
        if (static_cast<double>(platform::nowMs() - startMs_) >= seconds_ * 1000.0)
            return common::stringPrintf("no result within %g s (--timeout)", seconds_);
        return {};
    }

private:
    platform::InterruptWatch interrupts_;
    std::uint64_t startMs_;
    double seconds_ = 0;
};

// --timeout in seconds, or fallback when not given.
double timeoutOption(const Arguments& a, double fallback) {
    const double seconds = numberOption(a, "--timeout", fallback);
    if (!(seconds > 0)) throw UsageError{"--timeout needs a number of seconds above 0"};
    return seconds;
}

// The default bound of a sweep with the settings the instrument was given (see the usage text).
double sweepTimeoutSeconds(const std::vector<instrument::InstrumentSetting>& table) {
    auto text = [&table](const char* name) {
        const instrument::InstrumentSetting* s = instrument::findSetting(table, name);
        return s ? std::atof(s->text.c_str()) : 0.0;
    };
    const instrument::InstrumentSetting* steps = instrument::findSetting(table, "Sweep:Steps");
    const double lowest = std::max(measure::kLowestSweepFrequency, std::min(text("Sweep:Start"), text("Sweep:End")));
    const double perPoint = std::max(1.0, text("Acqu:mCyc")) / lowest + text("Acqu:delay") + kPointReplySeconds;
    return kSetUpSeconds + (steps ? steps->value : measure::kMaxSweepPoints) * perPoint;
}

// Runs body, turning a UsageError into the usage message and exit code 2.
template <typename Body>
int guarded(Body body) {
    return runCommand(std::string(kMeasureUsage) + kLinkUsage, body);
}

// Identifies the instrument first, as the program does before it measures.
bool connect(instrument::InstrumentLink& link) {
    link.connected = instrument::connectAndIdentify(link, false);
    if (!link.connected) platform::showMessage("No connection was made", "Corvane", platform::Icon::Warning);
    return link.connected;
}

// The progress of a sweep on standard error, as the "Sweep Data" dialog shows it.
class ProgressBar final : public platform::NotificationSink {
public:
    // stepCount: the job's, set by the worker on whose thread the notifications come.
    explicit ProgressBar(const std::int32_t& stepCount) : stepCount_(stepCount) {}
    void notify(int command, long long parameter) override {
        switch (command) {
        case measure::kNotifyLinkFailed: linkFailed = true; break;
        case measure::kNotifyFirstPoint: std::fputs("Reading Data\n", stderr); break;
        case measure::kNotifyPointArrived: draw(static_cast<int>(parameter)); break;
        default: break;
        }
    }
    std::atomic<bool> linkFailed{false};

private:
    void draw(int count) {
        if (!interactive_) return;  // a bar redrawn in place means nothing in a log file
        const int steps = stepCount_ > 0 ? stepCount_ : 1;
        const int percent = std::min(100, count * 100 / steps + 1);
        if (percent == lastPercent_ && count != steps) return;
        lastPercent_ = percent;
        const int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d%% (%d/%d)", filled, "########################################", 40 - filled,
                     "", percent, count, steps);
        if (count >= steps) std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    const std::int32_t& stepCount_;
    const bool interactive_ = ::isatty(::fileno(stderr)) != 0;
    int lastPercent_ = -1;
};

// Runs a worker on its own thread until it ends; when the run's bound stops it, the job is aborted
// and the reason returned ("" when the worker ended by itself). A comms log failure on the worker is
// told here, after it.
template <typename Work>
std::string runWorker(measure::JobFlags& job, const RunBound& bound, Work work) {
    platform::WorkerThread worker;
    if (!worker.start(work)) {
        platform::showMessage("The SFRA sweep measurement thread failed!!", "Corvane", platform::Icon::Information);
        return {};
    }
    std::string stopped;
    while (!worker.wait(50)) {
        if (stopped.empty() && !(stopped = bound.stopReason()).empty()) {
            std::fputs("Cancelling Sweep\n", stderr);
            job.abort = true;
        }
    }
    instrument::showPendingCommsLogFailure();
    return stopped;
}

measure::SweepSetupFields fieldsFrom(const Arguments& a, const std::vector<instrument::InstrumentSetting>& table) {
    measure::SweepSetupFields f = measure::openSweepSetup(table, -1);
    f.steps = a.get("--steps", f.steps);
    f.start = a.get("--start", f.start);
    f.end = a.get("--end", f.end);
    f.minCycles = a.get("--min-cycles", f.minCycles);
    if (a.has("--speed")) {
        const instrument::InstrumentSetting* speed = instrument::findSetting(table, "Acqu:speed");
        const int index = speed ? speed->choiceIndex(a.get("--speed")) : -1;
        if (index < 0) throw UsageError{"--speed takes one of Very Slow, Slow, Medium, Fast, Very Fast, Window"};
        f.speed = index;
    }
    f.save = a.has("--save");
    f.name = a.get("--name");
    f.peakVoltage = a.get("--peak");
    f.temperature = a.get("--temp");
    f.comments = a.get("--comments");
    f.transformerIdentifier = a.get("--transformer");
    f.setupId = integerOption(a, "--setup", -1);
    f.equipmentId = integerOption(a, "--equipment", -1);
    return f;
}

std::vector<std::string> storedSweepNames() {
    std::vector<std::string> names;
    if (db::connectionHandle(db::Connection::Main)) db::select_rows(names, db::TableIndex::Sweep, {4}, "", false);
    return names;
}

// The folder a path names its file in ("." for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string(".") : cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// The whole sweep: settings, measurement, table, storing. The job types differ by kind.
template <typename Job, typename Start, typename Row, typename Store>
int sweep(const Arguments& a, measure::SweepKind kind, Job& job, Start start, Row row, Store store) {
    if (a.has("--save") && !a.has("--db")) throw UsageError{"--save needs --db"};
    RunBound bound;
    if (a.has("--timeout")) bound.setTimeout(timeoutOption(a, 0));
    instrument::InstrumentLink link = linkFrom(a);
    DatabaseSession session(a.get("--db"));
    if (a.has("--db") && !session.isOpen()) return 1;
    if (!connect(link)) return 1;
    std::vector<instrument::InstrumentSetting>& table = instrument::settingsTable();
    if (!instrument::readAllSettings(table, link)) return 1;

    measure::PendingSweep pending;
    if (!measure::confirmSweepSetup(fieldsFrom(a, table), kind, storedSweepNames(), table, pending, link)) return 2;
    if (!a.has("--timeout")) bound.setTimeout(sweepTimeoutSeconds(table));

    ProgressBar progress(job.block.stepCount);
    job.reset();
    job.sink = &progress;
    // Connecting and reading the settings are not broken off (they are bounded); a stop asked for
    // meanwhile is heard here.
    std::string cancelled = bound.stopReason();
    if (cancelled.empty()) {
        // The run itself starts by setting the instrument up, as the "SET UP SFRA" command does.
        instrument::writeChangedSettings(table, link);
        std::fputs("Waiting for data\n", stderr);
        measure::sweepRunning() = kind == measure::SweepKind::Fra ? 1 : 2;
        cancelled = runWorker(job, bound, [&] { start(job, link); });
        measure::sweepRunning() = 0;
    }
    if (!cancelled.empty()) {
        std::fprintf(stderr, "Sweep cancelled: %s\n", cancelled.c_str());
        return 1;
    }
    if (progress.linkFailed) platform::showMessage("Comms Error", "Corvane", platform::Icon::Information);

    const measure::SweepOutcome outcome = measure::sweepOutcome(job, job.block.stepCount);
    std::fputs(outcome == measure::SweepOutcome::Complete ? "Sweep Finished\n" : "Sweep Failed\n", stderr);
    const int count = measure::handedOverPoints(job, job.block.stepCount);
    for (int i = 0; i < count; ++i) std::printf("%s\n", row(i + 1, job.block.points[i]).c_str());
    if (count > 0 && pending.save && !measure::storedAsChosen(outcome)) {
        std::fprintf(stderr, "%s\n", measure::kFailedSweepNotStored);
    } else if (count > 0 && pending.save) {
        std::fputs("Saving to Database\n", stderr);
        if (store(pending, job.block, count) != 0) {
            // The measurement is not lost with the store: it goes into a file beside the database.
            const std::string path = interchange::unstoredSweepPath(pending.record, folderOf(a.get("--db")));
            if (interchange::keepUnstoredSweep(pending.record, path))
                std::fprintf(stderr, "The sweep could not be saved to the database; it is kept in %s\n", path.c_str());
            else
                std::fprintf(stderr, "The sweep could not be saved to the database, nor kept in %s\n", path.c_str());
            return 1;
        }
        std::fputs("Sweep Added to Database Successfully\n", stderr);
        std::printf("stored: %lld\n", static_cast<long long>(pending.record.id));
    }
    return outcome == measure::SweepOutcome::Complete ? 0 : 1;
}

int sweepCommand(const std::vector<std::string>& args) {
    Arguments a = parseOrThrow(args, withLinkOptions({"--steps", "--start", "--end", "--min-cycles", "--speed", "--db",
                                                       "--name", "--transformer", "--setup", "--equipment", "--peak",
                                                       "--temp", "--comments", "--fakesfra", "--timeout"}),
                               {"--save"});
    const std::string& kind = positional(a, 0, "fra or lcr");
    expectPositionals(a, 1);
    if (kind == "fra") {
        static measure::SweepJob job;  // 96 kB: not for the stack
        measure::Replay replay{a.has("--fakesfra"), a.get("--fakesfra")};
        return sweep(
            a, measure::SweepKind::Fra, job,
            [&replay](measure::SweepJob& j, instrument::InstrumentLink& l) { measure::fraSweepWorker(j, l, replay); },
            measure::fraTableRow,
            [](measure::PendingSweep& p, const measure::FraSweepBlock& b, int n) { return measure::storeFraSweep(p, b, n); });
    }
    if (kind != "lcr") throw UsageError{"sweep fra or sweep lcr"};
    if (a.has("--fakesfra")) throw UsageError{"--fakesfra replays FRA sweeps only"};
    static measure::LcrSweepJob job;
    return sweep(
        a, measure::SweepKind::Lcr, job,
        [](measure::LcrSweepJob& j, instrument::InstrumentLink& l) {
            const instrument::InstrumentSetting* mode = instrument::findSetting(instrument::settingsTable(), "Acqu:mode");
            measure::lcrSweepWorker(j, l, mode && mode->value == 1);
        },
        measure::lcrTableRow,
        [](measure::PendingSweep& p, const measure::LcrSweepBlock& b, int n) { return measure::storeLcrSweep(p, b, n); });
}

// Hands each realtime reading to the main thread, which prints it and lets the worker take the next.
class ReadingRelay final : public platform::NotificationSink {
public:
    void notify(int command, long long) override {
        if (command != measure::kNotifyFraReading && command != measure::kNotifyLcrReading) return;
        std::lock_guard<std::mutex> lock(mutex_);
        ++ready_;
        arrived_.notify_one();
    }
    // Waits up to timeoutMs for a reading; false when none came.
    bool waitForReading(unsigned timeoutMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ready_ > 0; })) return false;
        --ready_;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    int ready_ = 0;
};

void printValues(const double* v, int n) {
    for (int i = 0; i < n; ++i) std::printf(i ? ",%.5E" : "%.5E", v[i]);
    std::printf("\n");
    std::fflush(stdout);
}

template <typename Job, typename Work, typename Print>
int realtime(Job& job, instrument::InstrumentLink& link, long long count, const RunBound& bound, Work work,
             Print print) {
    if (!connect(link)) return 1;
    ReadingRelay relay;
    job.reset();
    job.sink = &relay;
    measure::sweepRunning() = 1;
    platform::WorkerThread worker;
    if (!worker.start([&] { work(job, link); })) {
        measure::sweepRunning() = 0;
        platform::showMessage("The SFRA realtime measurement thread failed!!", "Corvane", platform::Icon::Information);
        return 1;
    }
    long long printed = 0;
    std::string cancelled;
    for (std::uint64_t silentSince = platform::nowMs(); printed < count;) {
        if (!(cancelled = bound.stopReason()).empty()) break;
        if (relay.waitForReading(50)) {
            print(job);
            ++printed;
            job.readingTaken = true;
            silentSince = platform::nowMs();
        } else if (platform::nowMs() - silentSince >= kReadingSilenceMs) {
            break;
        }
    }
    measure::sweepRunning() = 0;
    worker.wait(~0u);
    instrument::showPendingCommsLogFailure();
    if (!cancelled.empty()) std::fprintf(stderr, "Realtime cancelled: %s\n", cancelled.c_str());
    return printed == count ? 0 : 1;
}

int realtimeCommand(const std::vector<std::string>& args) {
    Arguments a = parseOrThrow(args, withLinkOptions({"--count", "--timeout"}));
    const std::string& kind = positional(a, 0, "fra or lcr");
    expectPositionals(a, 1);
    const long long count = integerOption(a, "--count", 1);
    if (count < 1) throw UsageError{"--count needs a number of readings"};
    RunBound bound;
    bound.setTimeout(timeoutOption(a, kRealtimeSetUpSeconds + static_cast<double>(count) * kReadingSilenceMs / 1000.0));
    instrument::InstrumentLink link = linkFrom(a);
    if (kind == "fra") {
        static measure::SweepJob job;
        return realtime(job, link, count, bound,
                        [](measure::SweepJob& j, instrument::InstrumentLink& l) { measure::fraRealtimeWorker(j, l); },
                        [](const measure::SweepJob& j) {
                            const db::FraPoint& p = j.currentReading;
                            const double v[6] = {p.frequency, p.magnitude1, p.magnitude2, p.amplitude, p.phase, p.delay};
                            printValues(v, 6);
                        });
    }
    if (kind != "lcr") throw UsageError{"realtime fra or realtime lcr"};
    static measure::LcrSweepJob job;
    return realtime(job, link, count, bound, measure::lcrRealtimeWorker, [](const measure::LcrSweepJob& j) {
        if (j.shortForm) printValues(j.shortReading, 11);
        else printValues(j.longReading, 14);
    });
}

int crossingsCommand(const std::vector<std::string>& args) {
    Arguments a = parseOrThrow(args, {"--db"});
    const std::string& id = positional(a, 0, "SWEEP_ID");
    expectPositionals(a, 1);
    DatabaseSession session(requiredOption(a, "--db"));
    if (!session.isOpen()) return 1;
    db::SweepRecord s;
    if (!loadStoredSweep(sweepIdArgument(id), s)) return 1;
    std::vector<measure::ResponsePoint> points;
    for (const auto& p : s.basicPoints) points.push_back({p.frequency, p.amplitude, p.phase});
    for (const auto& p : s.fraPoints) points.push_back({p.frequency, p.amplitude, p.phase});
    if (s.dataType == db::kDataLcr) {
        std::fprintf(stderr, "corvane: sweep %s is an impedance sweep\n", id.c_str());
        return 1;
    }
    std::printf("%s\n%s\n", measure::gainCrossingReport(measure::findGainCrossings(points)).c_str(),
                measure::phaseCrossingReport(measure::findPhaseCrossings(points)).c_str());
    return 0;
}

int diagnoseCommand(const std::vector<std::string>& args) {
    Arguments a = parseOrThrow(args, {"--db"});
    const std::string& fingerprintId = positional(a, 0, "FINGERPRINT_ID");
    const std::string& sweepId = positional(a, 1, "SWEEP_ID");
    expectPositionals(a, 2);
    DatabaseSession session(requiredOption(a, "--db"));
    if (!session.isOpen()) return 1;
    db::SweepRecord fingerprint, diagnosed;
    if (!loadStoredSweep(sweepIdArgument(fingerprintId), fingerprint) ||
        !loadStoredSweep(sweepIdArgument(sweepId), diagnosed))
        return 1;
    const analysis::DiagnosisResult r = analysis::diagnose(fingerprint, diagnosed);
    std::printf("class: %d\nverdict: %s\n", r.classCode, analysis::verdictText(r.classCode));
    static const char* const kBands[] = {"RLF", "RMF", "RHF"};
    for (int b = 0; b < analysis::kBandCount; ++b)
        std::printf("%s count=%d LRxy=%.6f Rxy=%0.4f\n", kBands[b], r.bands[b].count, r.bands[b].LRxy, r.bands[b].Rxy);
    return 0;
}

}  // namespace

int runSweepCommand(const std::vector<std::string>& args) { return guarded([&] { return sweepCommand(args); }); }
int runRealtimeCommand(const std::vector<std::string>& args) { return guarded([&] { return realtimeCommand(args); }); }
int runCrossingsCommand(const std::vector<std::string>& args) { return guarded([&] { return crossingsCommand(args); }); }
int runDiagnoseCommand(const std::vector<std::string>& args) { return guarded([&] { return diagnoseCommand(args); }); }

}  // namespace cli
