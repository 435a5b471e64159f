// The print dialog's preview of one postcard on Qt's offscreen platform:
// the time from a changed option until the preview shows the card drawn
// anew (median of many changes), and from opening the dialog until its
// first preview (fonts loaded, median of three).
//
// usage: preview_bench
// Prints one line of key=value pairs; exits non-zero when the preview does
// not show one card.
#include "CardBook.h"
#include "PrintCardsDialog.h"
#include "SjisCodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QPrintPreviewWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <time.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Times {
    double wall = 0;
    double cpu = 0;
};

double CpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename F>
Times Measure(F&& step)
{
    const auto wall = Clock::now();
    const double cpu = CpuSeconds();
    step();
    return {std::chrono::duration<double>(Clock::now() - wall).count(), CpuSeconds() - cpu};
}

Times Median(std::vector<Times> times)
{
    const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
    std::nth_element(times.begin(), middle, times.end(),
                     [](const Times& a, const Times& b) { return a.wall < b.wall; });
    return *middle;
}

// One person with a two-line address; the file holds it in Shift_JIS.
constexpr const char* PERSON =
    "0,あおき,青木 一郎,東京都千代田区丸の内1-2-3,ABCマンション101,1980,4,1,0,,100,0005,0,"
    "*,*,*,*,*,*,*,*,*,*,*,*\r\n";

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kanaroku-preview-bench";
    std::filesystem::create_directories(dir);
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);  // the user's settings stay as they are
    std::filesystem::current_path(dir);
    std::ofstream(dir / "AddressTable.csv", std::ios::binary) << sjis::EncodeFromUtf8(PERSON).value();
    QApplication app(argc, argv);
    const auto book = std::get<std::vector<postcard::BookPerson>>(postcard::ReadBook());

    std::vector<Times> opens;
    std::vector<Times> redraws;
    int pages = 0;
    for (int run = 0; run < 3; ++run) {
        std::unique_ptr<printdlg::PrintCardsDialog> dialog;
        QPrintPreviewWidget* preview = nullptr;
        opens.push_back(Measure([&] {
            dialog = std::make_unique<printdlg::PrintCardsDialog>(book, book);
            dialog->show();
            preview = dialog->findChild<QPrintPreviewWidget*>();
            (void)preview->grab();
        }));
        auto* frames = dialog->findChild<QCheckBox*>();
        for (int change = 0; change < 30; ++change)
            redraws.push_back(Measure([&] {
                frames->click();
                (void)preview->grab();
            }));
        pages = preview->pageCount();
    }
    std::filesystem::remove_all(dir);
    const Times open = Median(opens);
    const Times redraw = Median(redraws);
    std::printf("preview_open_s=%.6f preview_open_cpu_s=%.6f preview_redraw_s=%.6f preview_redraw_cpu_s=%.6f\n",
                open.wall, open.cpu, redraw.wall, redraw.cpu);
    return pages == 1 ? 0 : 1;
}
