// The whole main dialog on a generated data file, on Qt's offscreen
// platform: the time from this program's start until the dialog has painted
// the filled name list, one index-button refill (か), the ALL refill, one
// double-click lookup of the last person, and the peak resident memory.
//
// usage: dialog_bench DIR PERSONS
// where DIR/AddressTable.csv holds PERSONS persons. Prints one line of
// key=value pairs; exits non-zero when the dialog did not show what it must.
#include "AddressBookDlg.h"
#include "AddressTable.h"
#include "MessageBox.h"
#include "Resources.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QListView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// CPU seconds of the whole process so far: on a busy machine these move
// much less than the wall-clock times.
double CpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Waits until the list view has painted rows that the model published
// after Arm(): only then does the user see the new list.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QListView& view) : m_view(view)
    {
        view.viewport()->installEventFilter(this);
        connect(view.model(), &QAbstractItemModel::modelReset, this, [this] { m_published = true; });
    }

    void Arm() noexcept
    {
        m_published = false;
        m_painted = false;
    }

    // The rows shown, or -1 when nothing was painted within the limit.
    int WaitShown()
    {
        const auto limit = Clock::now() + std::chrono::seconds(120);
        while (!m_painted && Clock::now() < limit)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        return m_painted ? m_view.model()->rowCount() : -1;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_published)
            m_painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    QListView& m_view;
    bool m_published = false;
    bool m_painted = false;
};

long PeakResidentKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The last person's name, read the way the table reads it.
std::string LastName()
{
    CAddressTable table;
    AddressRecord record{};
    std::string name;
    for (int more = table.GetFirst(record, KANAROW_ALL); more; more = table.GetNext(record, KANAROW_ALL))
        name = record.name;
    return name;
}

struct Timing {
    double wall;
    double cpu;
};

Timing TimeRefill(CAddressBookDlg& dialog, PaintWatch& watch, int buttonId, int& shown)
{
    watch.Arm();
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    dialog.SendNotify(buttonId, BN_CLICKED);
    shown = watch.WaitShown();
    return {Seconds(start, Clock::now()), CpuSeconds() - cpu};
}

int Fail(const std::string& why)
{
    std::cerr << "dialog_bench: " << why << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto programStart = Clock::now();
    if (argc != 3)
        return Fail("usage: dialog_bench DIR PERSONS");
    if (::chdir(argv[1]) != 0)
        return Fail(std::string("cannot enter ") + argv[1]);
    const int persons = std::atoi(argv[2]);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    MessageBoxCapture messages;
    CAddressBookDlg dialog;
    dialog.SetClock([] { return CalendarDate{2026, 12, 6}; });
    dialog.Create();
    CListBox list;
    list.Attach(dialog, IDC_NAME_LIST);
    CEdit nameEdit;
    nameEdit.Attach(dialog, IDC_NAME);
    QListView* view = list.Widget();
    PaintWatch watch(*view);
    const int shownAtStart = watch.WaitShown();
    const Timing startup{Seconds(programStart, Clock::now()), CpuSeconds()};
    if (shownAtStart != persons)
        return Fail("start-up showed " + std::to_string(shownAtStart) + " rows");

    int shownKa = 0;
    const Timing refillKa = TimeRefill(dialog, watch, IDC_INDEX_KA, shownKa);
    if (shownKa <= 0 && persons > 100)
        return Fail("the か refill showed no rows");
    int shownAll = 0;
    const Timing refillAll = TimeRefill(dialog, watch, IDC_INDEX_ALL, shownAll);
    if (shownAll != persons)
        return Fail("the ALL refill showed " + std::to_string(shownAll) + " rows");

    const std::string last = LastName();
    if (list.SelectString(last) < 0)
        return Fail("the last person is not in the list");
    const auto lookupStart = Clock::now();
    const double lookupCpu = CpuSeconds();
    dialog.SendNotify(IDC_NAME_LIST, LBN_DBLCLK);
    QApplication::processEvents();
    const Timing lookup{Seconds(lookupStart, Clock::now()), CpuSeconds() - lookupCpu};
    if (nameEdit.GetWindowText() != last)
        return Fail("the double-click did not show the last person");
    if (!messages.Messages().empty())
        return Fail("a message box was shown: " + messages.Messages().front().toStdString());

    std::printf(
        "persons=%d startup_s=%.4f startup_cpu_s=%.4f refill_ka_s=%.4f refill_ka_cpu_s=%.4f "
        "refill_ka_rows=%d refill_all_s=%.4f refill_all_cpu_s=%.4f lookup_s=%.4f lookup_cpu_s=%.4f "
        "peak_rss_kib=%ld\n",
        persons, startup.wall, startup.cpu, refillKa.wall, refillKa.cpu, shownKa, refillAll.wall, refillAll.cpu,
        lookup.wall, lookup.cpu, PeakResidentKiB());
    return 0;
}
