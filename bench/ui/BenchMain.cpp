#include <benchmark/benchmark.h>

#include <QApplication>

#include "bench/ui/BenchEnd.h"

namespace {

// The offscreen platform remarks on every window it shows that it cannot pass size hints
// on, and on the missing runtime folder: noise that hides the results.
QtMessageHandler qtHandler = nullptr;
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    if (qtHandler != nullptr) {
        qtHandler(type, context, message);
    }
}

} // namespace

// The window benchmarks need a QApplication; they run headless.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qtHandler = qInstallMessageHandler(QuietPlatform);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BenchEnd();
    return 0;
}
