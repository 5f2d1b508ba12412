#include "bench_support.h"

#include "virtual_unit.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace bench {

namespace {

std::atomic<long> gLinesLogged{0};
std::FILE* gNullSink = nullptr;

void writeToNull(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    ++gLinesLogged;
    const QByteArray line = qFormatLogMessage(type, context, message).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), gNullSink);
    std::fputc('\n', gNullSink);
    std::fflush(gNullSink);
}

double nearestRank(const std::vector<double>& sorted, double fraction)
{
    if (sorted.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(sorted.size())));
    return sorted[std::min(sorted.size() - 1, rank == 0 ? 0 : rank - 1)];
}

} // namespace

PrivateEnvironment::PrivateEnvironment()
    : m_root(QDir::tempPath() + QStringLiteral("/quorlin-bench-XXXXXX"))
{
    const QString base = m_root.path();
    for (const char* sub : {"runtime", "home", "data", "config", "tmp"})
        QDir(base).mkpath(QLatin1String(sub));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(base + QStringLiteral("/home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + QStringLiteral("/config")));
    qputenv("TMPDIR", QFile::encodeName(base + QStringLiteral("/tmp")));
}

void sendLogToNull()
{
    if (!gNullSink)
        gNullSink = std::fopen("/dev/null", "w");
    qInstallMessageHandler(&writeToNull);
}

long linesLogged()
{
    return gLinesLogged.load();
}

Summary summarize(std::vector<double> samples)
{
    Summary summary;
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    summary.count = samples.size();
    summary.minimum = samples.front();
    summary.maximum = samples.back();
    summary.median = nearestRank(samples, 0.5);
    summary.p99 = nearestRank(samples, 0.99);
    summary.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size());
    return summary;
}

void printFigure(const std::string& name, double value, const std::string& unit,
                 const std::string& target, bool pass)
{
    std::printf("  %-44s %12.2f %-6s target %-12s %s\n", name.c_str(), value, unit.c_str(),
                target.c_str(), pass ? "PASS" : "MISS");
    std::fflush(stdout);
}

void printFigure(const std::string& name, double value, const std::string& unit)
{
    std::printf("  %-44s %12.2f %-6s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

void printHeading(const std::string& title)
{
    std::printf("%s\n", title.c_str());
    std::fflush(stdout);
}

std::unique_ptr<virtualunit::VirtualUnit> plugStillUnit(std::uint32_t productId)
{
    virtualunit::Options options;
    options.productId = productId;
    options.movingMeters = false;
    auto unit = std::make_unique<virtualunit::VirtualUnit>(options);
    if (!unit->plug()) {
        std::fprintf(stderr, "cannot plug the virtual unit: %s\n", unit->plugError().c_str());
        return nullptr;
    }
    return unit;
}

} // namespace bench
