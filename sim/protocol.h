// The analyser's command interpreter, free of I/O: bytes arrive from a link with the time they arrived,
// replies leave as timed chunks. The Instrument holds what survives a reconnection (settings, status
// register, sweeps, fault counters); a Session is one link's framing and outgoing queue.
// Single-threaded: the I/O loop owns both and passes in its clock.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screen.h"
#include "settings_items.h"
#include "winding_model.h"

namespace sim {

// Faults to inject. Commands are held in lower case, compared case-insensitively with the command text
// without its line end.
struct FaultPlan {
    long silentAfterLines = -1;              // after this many reply lines in all, never answer again
    std::vector<std::string> silentCommands; // never answered
    std::vector<std::string> garbageCommands;// every reply line replaced by non-numeric garbage
    struct NoDot {
        std::string command;
        long line = 1;                       // the line-th reply line to the command since start-up
    };
    std::vector<NoDot> noDot;                // that line carries one number without its decimal point
    long dropAtPoint = -1;                   // a sweep read-out breaks off after this many points
    long silentAtPoint = -1;                 // a sweep read-out falls silent after this many points, the
                                             // instrument deaf until the interrupt byte 0x14
    long dropAtRow = -1;                     // a screen read-out breaks off after this many lines
    long silentAtRow = -1;                   // a screen read-out falls silent after this many lines, the
                                             // instrument deaf until the interrupt byte 0x14
    int delayMs = 0;                         // every reply line leaves this much later
};

struct InstrumentSetup {
    std::string identity = "VELTRONA,QMX74,410-2718,2.07";
    std::string calibration = "07_MAR_2026";
    Profile profile = Profile::Healthy;
    std::uint64_t seed = 1;
    int pointMs = 5;       // measuring time per sweep point; 0 measures instantly
    bool binary = false;   // measured values in the packed binary form
    FaultPlan faults;
};

// One measured sweep as the instrument stores it: the reported values of every point (six for a
// frequency response sweep, eight for an impedance sweep) and when each point is measured.
struct StoredSweep {
    bool impedance = false;
    std::int64_t startMs = 0;
    int pointMs = 0;
    std::vector<std::vector<double>> points;
    std::optional<std::size_t> stoppedAfter;  // points measured before an abort

    std::int64_t pointReadyMs(std::size_t k) const { return startMs + static_cast<std::int64_t>(k + 1) * pointMs; }
    // Points the read-out will deliver in all (fewer than planned after an abort).
    std::size_t deliverable() const { return stoppedAfter ? *stoppedAfter : points.size(); }
    std::size_t measuredBy(std::int64_t nowMs) const;
    bool finishedBy(std::int64_t nowMs) const { return measuredBy(nowMs) >= deliverable(); }
};

class Instrument {
public:
    explicit Instrument(InstrumentSetup setup);

    const InstrumentSetup& setup() const { return setup_; }
    SettingsItems& settings() { return settings_; }
    const SettingsItems& settings() const { return settings_; }

    // Event status register bits.
    static constexpr int kQueryError = 4;
    static constexpr int kCommandError = 32;
    void flagEvent(int bits) { eventStatus_ |= bits; }
    int takeEventStatus();

    // Starts a sweep over the Sweep:Start/End/Steps/Scale items; the points are measured one per
    // pointMs from nowMs on (the whole sweep is computed now, its timing kept).
    void startSweep(bool impedance, std::int64_t nowMs);
    const StoredSweep* lastSweep(bool impedance) const;
    // "*opc?": false while the most recently started sweep is still measuring.
    bool operationComplete(std::int64_t nowMs) const;
    void abort(std::int64_t nowMs);

    // One reading at the generator frequency (item 48): six values, or 11 / 14 impedance values.
    std::vector<double> realtimeFra();
    std::vector<double> realtimeImpedance();

    ScreenImage screen() const;

    // Reply-line bookkeeping for the faults, shared by every link.
    long linesSent = 0;
    std::map<std::string, long> linesPerCommand;

private:
    std::vector<double> sweepFrequencies() const;
    int phaseConvention() const;

    InstrumentSetup setup_;
    SettingsItems settings_;
    WindingModel model_;
    int eventStatus_ = 0;
    std::optional<StoredSweep> fraSweep_, lcrSweep_;
    bool lastStartedImpedance_ = false;
};

// Folds a phase in -180..180 onto the convention of item 6: 0 keeps it, 1 gives 0..-360, 2 gives 0..+360.
double applyPhaseConvention(double degrees, int convention);

enum class LinkKind { Tcp, Serial };

class Session {
public:
    Session(Instrument& instrument, LinkKind link);

    // Bytes received at nowMs.
    void receive(std::string_view bytes, std::int64_t nowMs);
    // Reply bytes due by nowMs, in order.
    std::string takeDue(std::int64_t nowMs);
    // When the next queued chunk falls due; empty when nothing is queued.
    std::optional<std::int64_t> nextDueMs() const;
    // The connection is to be closed (TCP drop-at-point); cleared by reset().
    bool closeRequested() const { return closeRequested_; }
    // A new peer on this link: partial input and queued replies are forgotten.
    void reset();
    // What the instrument has taken in since the last call, one line each: every command as it came
    // (without its line end) and the interrupt bytes as \\024 and \\031. For the traffic log.
    std::string takeHeard();

private:
    enum class Action { Send, Close, Deafen };
    struct Chunk {
        std::int64_t dueMs;
        std::string bytes;
        bool stream;  // part of a sweep read-out (cancelled by abort)
        Action action;
    };
    struct Line {
        std::vector<double> values;
        std::string text;
        bool isValues = false;
    };

    void handleLine(std::string line, std::int64_t nowMs);
    void execute(const std::string& command, std::int64_t nowMs);
    void handleConfig(const std::string& command, const std::string& key, std::int64_t nowMs);
    void reply(const std::string& key, const Line& line, std::int64_t dueMs, bool stream);
    void replyText(const std::string& key, const std::string& text, std::int64_t nowMs);
    void replyValues(const std::string& key, const std::vector<double>& values, std::int64_t nowMs);
    void streamSweep(const std::string& key, const StoredSweep& sweep, std::int64_t nowMs);
    void streamScreen(const std::string& key, const std::vector<std::string>& lines, std::int64_t nowMs);
    // Ends a read-out that a fault breaks off: a TCP link closes when close, otherwise the instrument
    // goes deaf.
    void breakOff(bool close, std::int64_t dueMs);
    void queue(std::int64_t dueMs, std::string bytes, bool stream, Action action);

    Instrument& instrument_;
    LinkKind link_;
    std::string pending_;
    std::deque<Chunk> outbox_;
    std::string heard_;
    bool closeRequested_ = false;
    bool deaf_ = false;  // serial link after a drop: input ignored until the interrupt byte
};

}  // namespace sim
