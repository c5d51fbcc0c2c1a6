// Painting the rename table's grid scrolled to the middle of 100 vs 100,000 rows (offscreen), and
// filling 100,000 rows. Painting must not grow with the rows that are off screen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QStringList>
#include <cstdlib>

#include "components/MyStringGrid.h"

namespace {

struct Listing {
    QStringList names, folders;
};

Listing MakeListing(int rows) {
    Listing listing;
    listing.names.reserve(rows);
    listing.folders.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        listing.names << QStringLiteral("写真_%1_DSC%2.jpg")
                             .arg(i / 1000, 3, 10, QChar(u'0'))
                             .arg(i, 6, 10, QChar(u'0'));
        listing.folders << QStringLiteral("/home/user/画像/%1/").arg(i / 1000, 3, 10, QChar(u'0'));
    }
    return listing;
}

// What a load does to the table: empty it, size it, write the name and folder columns.
void Fill(TStringGridEx& grid, const Listing& listing) {
    grid.ClearRows();
    grid.SetRowCount(static_cast<int>(listing.names.size()) + 1);
    grid.SetColumnCells(1, 1, listing.names);
    grid.SetColumnCells(3, 1, listing.folders);
}

void SetUpTable(TMyStringGrid& grid) {
    MyStringGrid::ApplyFormDesign(grid);
    grid.SetColWidths(0, 16);
    grid.SetRowHeights(0, 20);
    grid.SetCells(1, 0, QStringLiteral("元のファイル名"));
    grid.SetCells(2, 0, QStringLiteral("変更後のファイル名"));
    grid.SetCells(3, 0, QStringLiteral("パス"));
    grid.resize(513, 600);
}

void BM_PaintScrolledToMiddle(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    TMyStringGrid grid;
    SetUpTable(grid);
    Fill(grid, MakeListing(rows));
    grid.show();
    QApplication::processEvents();
    grid.SetTopRow(rows / 2);
    grid.SetCurrentCell(1, rows / 2 + 3);
    QApplication::processEvents();
    for (auto _ : state) {
        QPixmap image = grid.grab();
        benchmark::DoNotOptimize(image);
    }
    state.counters["top_row"] = grid.TopRow();
}
BENCHMARK(BM_PaintScrolledToMiddle)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_Fill(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    TMyStringGrid grid;
    SetUpTable(grid);
    grid.show();
    QApplication::processEvents();
    const Listing listing = MakeListing(rows);
    for (auto _ : state) {
        Fill(grid, listing);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Fill)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
