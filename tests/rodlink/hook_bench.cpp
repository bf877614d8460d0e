// The cost of the cursor-centre hook procedure on its usual path (any key but the first press
// of F10), in two figures:
//   - its own work: the library's procedure, built into this program with a counting stub in
//     place of CallNextHookEx (RODLINK_PASS_ON), against a bare procedure that only passes the
//     event on through the same stub;
//   - the whole key event: both passing the event on to the system, as they do in the library.
// The two procedures take turns, batch by batch (A B A B ...), so that whatever else the machine
// does falls on both alike. A loaded machine still slows some pairs, and the procedure, which
// reads the block, more than the bare one. So each figure is taken from the calm pairs, those
// whose bare batch was among the fastest quarter: the median of their ratios, with the middle
// half of those ratios as its spread. Each event is fenced off from the next (lfence), as the
// system's calls of a hook are by all it does between two events: unfenced, how far the
// processor overlapped one bare call with the next swung with the load by more than the
// procedure's work. The thread stays on one processor, so that a move does not cost one of the
// two its caches and branch history. Prints the figures; passes or fails nothing.
#include <windows.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "hook.h"
#include "internal.h"

namespace {

// Off: the stub only counts. On: it also hands the event to the system, as the library does.
bool passToSystem;
// The events passed on, added up batch by batch from the stub's answers.
long long passedOn;

} // namespace

// The hook procedure's pass-on call in this program (see RODLINK_PASS_ON in hook.cpp). It
// answers 1 for each event, which the batch adds up: a counter in memory, written on every
// call, would chain the calls one after the other through that memory and set the pace of
// the bare procedure, whatever the procedures themselves do.
__attribute__((noinline)) LRESULT WINAPI CountingPassOn(HHOOK hook, int code, WPARAM virtualKey, LPARAM flags)
{
    if (passToSystem)
        CallNextHookEx(hook, code, virtualKey, flags);
    return 1;
}

namespace {

// The least a hook procedure does: pass the event on.
__attribute__((noinline)) LRESULT CALLBACK BareProc(int code, WPARAM virtualKey, LPARAM flags)
{
    return CountingPassOn(nullptr, code, virtualKey, flags);
}

// Called through a pointer the compiler cannot see through, as the system calls a hook.
HOOKPROC volatile hookProc = rodlink::KeyboardProc;
HOOKPROC volatile bareProc = BareProc;

// A batch is timed with the processor's time-stamp counter, read in a few cycles without a
// call into the system that the machine's load could delay; the ticks are turned into
// nanoseconds against the performance counter over the whole measurement.
double PerformanceSeconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The key events of a batch, over and over: each letter pressed, then released.
struct KeyEvent {
    WPARAM key;
    LPARAM flags;
};
int const LetterEvents = 2 * 26;
KeyEvent letterEvents[LetterEvents];

void MakeLetterEvents()
{
    for (int i = 0; i < LetterEvents; ++i)
        letterEvents[i] = {static_cast<WPARAM>('A' + i / 2), static_cast<LPARAM>(i % 2 ? 0xC01E0001 : 0x001E0001)};
}

// An lfence: no later instruction starts before the earlier ones have finished. Written out,
// since the i686 build is not compiled for SSE2, whose intrinsic it is.
inline void FenceOff()
{
    asm volatile("lfence");
}

// Counter ticks per event for a batch of key events.
double TicksPerEvent(HOOKPROC procedure, int events)
{
    KeyEvent const* event = letterEvents;
    LRESULT passed = 0;
    unsigned long long const start = __rdtsc();
    for (int i = 0; i < events; ++i) {
        passed += procedure(HC_ACTION, event->key, event->flags);
        FenceOff();
        if (++event == letterEvents + LetterEvents)
            event = letterEvents;
    }
    unsigned long long const end = __rdtsc();
    passedOn += passed;
    return static_cast<double>(end - start) / events;
}

// The processor the thread runs on now, and from now on only that one.
void StayOnThisProcessor()
{
    SetThreadAffinityMask(GetCurrentThread(), DWORD_PTR{1} << GetCurrentProcessorNumber());
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t const middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Figure {
    double hookNs;
    double bareNs;
    double ratio;       // median of the calm pairs' ratios
    double lowRatio;    // the middle half of those ratios: from the first quartile ...
    double highRatio;   // ... to the third
    int calmPairs;
    int pairs;
    long long passedOn; // the stub's count: every event of every batch went on
};

// Batch times of the two procedures, in counter ticks per event.
struct Pair {
    double hook;
    double bare;
};

Figure Measure(int pairs, int eventsPerBatch)
{
    TicksPerEvent(hookProc, eventsPerBatch);  // warm up both
    TicksPerEvent(bareProc, eventsPerBatch);
    passedOn = 0;
    std::vector<Pair> measured;
    measured.reserve(pairs);
    double const startSeconds = PerformanceSeconds();
    unsigned long long const startTicks = __rdtsc();
    for (int pair = 0; pair < pairs; ++pair) {
        double const h = TicksPerEvent(hookProc, eventsPerBatch);
        double const b = TicksPerEvent(bareProc, eventsPerBatch);
        measured.push_back({h, b});
    }
    double const nsPerTick =
        (PerformanceSeconds() - startSeconds) * 1e9 / static_cast<double>(__rdtsc() - startTicks);

    std::vector<double> bareTimes;
    for (Pair const& pair : measured)
        bareTimes.push_back(pair.bare);
    double const calmest = Quantile(bareTimes, 0.25);
    std::vector<double> hook, bare, ratios;
    for (Pair const& pair : measured) {
        if (pair.bare > calmest)
            continue;
        hook.push_back(pair.hook);
        bare.push_back(pair.bare);
        ratios.push_back(pair.hook / pair.bare);
    }
    return {Median(hook) * nsPerTick, Median(bare) * nsPerTick, Median(ratios), Quantile(ratios, 0.25),
            Quantile(ratios, 0.75), static_cast<int>(ratios.size()), pairs, passedOn};
}

void Print(char const* what, Figure const& figure, char const* goal)
{
    std::printf("%s: %.2f ns per key event against %.2f ns bare, ratio %.3f (middle half %.3f to %.3f, "
                "%d calm pairs of %d, %lld events passed on)%s\n",
                what, figure.hookNs, figure.bareNs, figure.ratio, figure.lowRatio, figure.highRatio, figure.calmPairs,
                figure.pairs, figure.passedOn, goal);
}

} // namespace

int main()
{
    MouseShareData block = {};
    block.CursorCenter = 1;  // on: the procedure makes all its comparisons
    rodlink::shared = &block;
    MakeLetterEvents();
    StayOnThisProcessor();

    passToSystem = false;
    Print("hook procedure's own work", Measure(100001, 500), "");
    // CallNextHookEx is a round trip to the Wine server, far longer than the procedure.
    passToSystem = true;
    Print("whole key event          ", Measure(2001, 5), " (goal: at most 1.05)");
    return 0;
}
