// Replay files of the development mode in which FRA sweeps replay a file instead of measuring: a
// text file (path containing ".txt") with a ",steps," line, a column header and one point per line,
// or a data file holding the handover block of a sweep. The realtime worker reads data files one
// point after the other. Used by the worker thread that owns the file.
#pragma once

#include <cstdio>
#include <string>

#include "measure/sweep_job.h"

namespace measure {

class ReplayFile {
public:
    ReplayFile() = default;
    ~ReplayFile() { close(); }
    ReplayFile(const ReplayFile&) = delete;
    ReplayFile& operator=(const ReplayFile&) = delete;

    // Opens the file for reading; false when it cannot be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    // A text replay when the path contains ".txt" (exactly so).
    static bool isTextPath(const std::string& path) { return path.find(".txt") != std::string::npos; }

    // Text replay: reads up to and including the column header; returns the step count of the
    // ",steps," line, or 0 when the header never comes (then no points follow).
    int readTextHeader();
    // Text replay: the next line's values (up to five: frequency, magnitudes, gain, phase) into
    // values; returns how many were read, or -1 at the end of the file.
    int readTextPoint(double values[5]);

    // Data replay: the whole handover block; false when the file is shorter.
    bool readBlock(FraSweepBlock& block);
    // Realtime replay: the next point; false at the end of the file.
    bool readPoint(db::FraPoint& point);

private:
    bool readLine(std::string& line);
    std::FILE* file_ = nullptr;
};

}  // namespace measure
