// shell_memo.cpp - appending one line to a decode window that already holds
// 20 000 lines (and, for comparison, 100): the mirror's Sync alone, and Sync
// plus the repaint that follows it in the program. Target: Sync well under
// 1 ms per line at 20 000 lines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextEdit>
#include <string>

#include "common/MemoModel.h"
#include "shell/ui/MemoMirror.h"

namespace {

using merivac::MemoLine;
using merivac::MemoMirror;
using merivac::MemoModel;

std::string DecodeLine(int i) {
  return "2000 -" + std::to_string(10 + i % 20) + "  0.3 " + std::to_string(1000 + i % 400) +
         " 1  CQ K1ABC FN42";
}

struct Window {
  explicit Window(int lines) : mirror(edit, model) {
    edit.setReadOnly(true);
    edit.resize(331, 176);
    edit.show();
    for (int i = 0; i < lines; ++i) {
      if (i % 7 == 0) {
        model.Append(MemoLine{DecodeLine(i), merivac::colors::kBlack, merivac::colors::kRed});
      } else {
        model.AppendPlain(DecodeLine(i));
      }
    }
    mirror.Sync();
    QApplication::processEvents();
  }
  QTextEdit edit;
  MemoModel model;
  MemoMirror mirror;
};

void BM_MemoAppendLine(benchmark::State& state) {
  Window w(static_cast<int>(state.range(0)));
  int i = 0;
  for (auto _ : state) {
    w.model.Append(MemoLine{DecodeLine(i++), merivac::colors::kBlack, merivac::colors::kYellow});
    w.mirror.Sync();
  }
  state.counters["lines"] = static_cast<double>(w.model.LineCount());
}
BENCHMARK(BM_MemoAppendLine)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_MemoAppendLineAndRepaint(benchmark::State& state) {
  Window w(static_cast<int>(state.range(0)));
  int i = 0;
  for (auto _ : state) {
    w.model.AppendPlain(DecodeLine(i++));
    w.mirror.Sync();
    w.edit.viewport()->repaint();
  }
}
// The repaint is the same for a short window: it paints only what is visible.
BENCHMARK(BM_MemoAppendLineAndRepaint)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
