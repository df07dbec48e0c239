// The main function of every benchmark executable: a Qt application object (the model needs one,
// and delayed messages need its event loop), preferences in a temporary folder so no user settings
// are touched, status messages printed to stderr, and an exit status that says whether any
// benchmark reported an error.
#include "harness/BenchMain.h"

#include "app/cli/StderrStatusPrinter.h"
#include "harness/AllocationCounter.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::function<void()>>& cleanups()
{
    static std::vector<std::function<void()>> list;
    return list;
}

// The console report, remembering whether a benchmark stopped with an error.
class ErrorNoticingReporter : public benchmark::ConsoleReporter
{
public:
    ErrorNoticingReporter() : benchmark::ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                ++_errors;
                std::fprintf(stderr, "FAILED: %s: %s\n", run.benchmark_name().c_str(),
                             run.error_message.c_str());
            }
        }
        benchmark::ConsoleReporter::ReportRuns(runs);
    }

    int errors() const { return _errors; }

private:
    int _errors = 0;
};

} // namespace

void runAtBenchmarkExit(std::function<void()> cleanup)
{
    cleanups().push_back(std::move(cleanup));
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!AllocationCounter::isWorking()) {
        std::fprintf(stderr, "The allocation counter does not see allocations: its replacements of "
                             "operator new and malloc are not in use.\n");
        return 1;
    }
    QCoreApplication app(argc, argv);
    useTemporaryPrefs();
    StderrStatusPrinter statusPrinter;

    ErrorNoticingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    while (!cleanups().empty()) {
        const std::function<void()> cleanup = std::move(cleanups().back());
        cleanups().pop_back();
        cleanup();
    }
    QCoreApplication::processEvents();
    if (reporter.errors() > 0) {
        std::fprintf(stderr, "%d benchmark(s) failed.\n", reporter.errors());
        return 1;
    }
    return 0;
}
