// main() of the benchmarks that drive real widgets: they need a
// QApplication, offscreen unless the caller chose a platform.

#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
	if (qgetenv("QT_QPA_PLATFORM").isEmpty())
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication app(argc, argv);
	benchmark::Initialize(&argc, argv);
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
