#pragma once

// What every benchmark shares: a private set of user directories, a log sink
// that costs what a console costs without flooding the terminal, the summary
// of a sample set, and one way of printing a figure beside its target.

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace virtualunit {
class VirtualUnit;
}

namespace bench {

// Gives the process its own runtime, home, data, config and temporary
// directories (set in the environment before anything reads them), so a run
// never touches a user's files or a unit the user is running.
class PrivateEnvironment {
public:
    PrivateEnvironment();
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

// Routes Qt's log lines through the configured message pattern into
// /dev/null: every line is still formatted and written, as the application
// does on its console, but the figures stay readable. Returns the number of
// lines seen so far through linesLogged().
void sendLogToNull();
long linesLogged();

// A plugged virtual unit with still meters, or null (with the reason on
// stderr) when it cannot be plugged.
std::unique_ptr<virtualunit::VirtualUnit> plugStillUnit(std::uint32_t productId);

struct Summary {
    std::size_t count = 0;
    double minimum = 0;
    double median = 0;
    double p99 = 0;
    double mean = 0;
    double maximum = 0;
};

// Nearest-rank percentiles of `samples` (any order).
Summary summarize(std::vector<double> samples);

// "  <name>  <value> <unit>   target <target>  PASS|MISS", or without a
// verdict when there is no target.
void printFigure(const std::string& name, double value, const std::string& unit,
                 const std::string& target, bool pass);
void printFigure(const std::string& name, double value, const std::string& unit);
void printHeading(const std::string& title);

} // namespace bench
