// The plot command: loads the sweeps, applies the graph window's default appearance with the chosen
// axis kind and background, scales the axes automatically and draws the graph onto an SVG canvas.
#include "cli/plot_command.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>

#include "analysis/diagnosis.h"
#include "analysis/diagnosis_panel.h"
#include "analysis/plot_engine.h"
#include "analysis/svg_canvas.h"
#include "cli/arguments.h"
#include "cli/database_session.h"
#include "cli/stored_sweep.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "platform/prompter.h"

namespace cli {

const char* const kPlotUsage =
    "  corvane plot --db PATH ID... --out FILE.svg [--linear] [--background black|white]\n"
    "               [--diagnose FINGERPRINT_ID SWEEP_ID] [--size WxH]\n";

namespace {

// The graph window's drawing size when the command is not given one.
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 625;
constexpr int kMinimumSize = 200;
constexpr int kMaximumSize = 16384;

void parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    long long w = 0, h = 0;
    if (x == std::string::npos || !parseInteger(text.substr(0, x), w) || !parseInteger(text.substr(x + 1), h) ||
        w < kMinimumSize || h < kMinimumSize || w > kMaximumSize || h > kMaximumSize)
        throw UsageError{"--size takes WIDTHxHEIGHT, each from " + std::to_string(kMinimumSize) + " to " +
                         std::to_string(kMaximumSize)};
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

struct PlotRequest {
    std::string database, output;
    std::vector<std::int64_t> ids;                             // the graph's sweeps, in slot order
    std::optional<std::pair<std::int64_t, std::int64_t>> diagnose;  // fingerprint, diagnosed
    bool linear = false;
    int background = analysis::kBackgroundBlack;
    int width = kDefaultWidth, height = kDefaultHeight;
};

PlotRequest parseRequest(const std::vector<std::string>& args) {
    PlotRequest r;
    // --diagnose takes two values, which the common parser does not know; they are taken out first.
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--diagnose") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 2 >= args.size() || r.diagnose) throw UsageError{"--diagnose needs FINGERPRINT_ID SWEEP_ID"};
        r.diagnose.emplace(sweepIdArgument(args[i + 1]), sweepIdArgument(args[i + 2]));
        i += 2;
    }
    const Arguments a = parseOrThrow(rest, {"--db", "--out", "--background", "--size"}, {"--linear"});
    r.database = requiredOption(a, "--db");
    r.output = requiredOption(a, "--out");
    r.linear = a.has("--linear");
    const std::string background = a.get("--background", "black");
    if (background == "white") r.background = analysis::kBackgroundWhite;
    else if (background != "black") throw UsageError{"--background takes black or white"};
    if (a.has("--size")) parseSize(a.get("--size"), r.width, r.height);

    for (const auto& word : a.positional) r.ids.push_back(sweepIdArgument(word));
    if (r.ids.empty() && !r.diagnose) throw UsageError{"plot needs the ids of 1 to 9 sweeps"};
    if (r.diagnose) {
        // The two sweeps of a diagnosis join the graph when they are not among its sweeps already.
        for (std::int64_t id : {r.diagnose->first, r.diagnose->second})
            if (std::find(r.ids.begin(), r.ids.end(), id) == r.ids.end()) r.ids.push_back(id);
    }
    if (r.ids.size() > static_cast<std::size_t>(analysis::kMaxSweeps))
        throw UsageError{"at most 9 sweeps can be graphed together"};
    return r;
}

int slotOf(const std::vector<std::int64_t>& ids, std::int64_t id) {
    return static_cast<int>(std::find(ids.begin(), ids.end(), id) - ids.begin());
}

int plot(const PlotRequest& r) {
    if (r.diagnose && r.diagnose->first == r.diagnose->second) {
        platform::showMessage("The fingerprint and diagnosis sweep cannot be the same sweep", "Error",
                              platform::Icon::Error);
        return 2;
    }
    DatabaseSession session(r.database);
    if (!session.isOpen()) return 1;
    std::vector<db::SweepRecord> sweeps(r.ids.size());
    for (std::size_t i = 0; i < r.ids.size(); ++i)
        if (!loadStoredSweep(r.ids[i], sweeps[i])) return 1;
    const bool lcr = analysis::isLcrGraph(sweeps);
    for (const auto& s : sweeps) {
        if ((s.dataType == db::kDataLcr) != lcr) {
            platform::showMessage("LCR an FRA tests cannot be graphed together", "Error: Test Mismatch",
                                  platform::Icon::None);
            return 1;
        }
    }
    if (r.diagnose && lcr) {
        std::fprintf(stderr, "corvane: a diagnosis compares two FRA sweeps\n");
        return 1;
    }

    analysis::GraphView view;
    view.sweeps = sweeps;
    view.settings.logFrequency = !r.linear;
    analysis::setBackground(view.settings, r.background);
    analysis::AutoscaleFrequency(view.ranges, sweeps);
    analysis::AutoscaleLeftAxis(view.ranges, sweeps);
    analysis::AutoscaleRightAxis(view.ranges, sweeps);
    if (r.diagnose) {
        const int fingerprint = slotOf(r.ids, r.diagnose->first), diagnosed = slotOf(r.ids, r.diagnose->second);
        analysis::applyDiagnosisView(view.settings, view.ranges, fingerprint, diagnosed);
        view.diagnosis.result = analysis::diagnose(sweeps[fingerprint], sweeps[diagnosed]);
        view.diagnosis.fingerprintName = sweeps[fingerprint].name.str();
        view.diagnosis.diagnosedName = sweeps[diagnosed].name.str();
        view.difference = analysis::diagnosisDifference(sweeps[fingerprint], sweeps[diagnosed]);
    }
    view.cursors = analysis::buildCursors(sweeps[0], view.ranges);  // on points of the range shown

    analysis::SvgCanvas canvas(r.width, r.height);
    analysis::DrawGraph(canvas, view, r.width, r.height, analysis::kWindowLegendOffset);
    std::ofstream out(r.output, std::ios::binary | std::ios::trunc);
    out << canvas.document();
    out.close();
    if (!out) {
        std::fprintf(stderr, "corvane: cannot write %s\n", r.output.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int runPlotCommand(const std::vector<std::string>& args) {
    return runCommand(kPlotUsage, [&] { return plot(parseRequest(args)); });
}

}  // namespace cli
