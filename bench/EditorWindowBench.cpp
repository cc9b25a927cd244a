// The open editor in a real window, on the display or under Xvfb: what keeping it open costs the
// message thread, and how much memory it takes. Without a display every row is skipped.

#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "editor/PluginEditor.h"

#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

namespace juce
{
// JUCE's own message loop step (the one MessageManager::runDispatchLoop repeats): on Linux it
// blocks in poll until an event, a posted message or a timer arrives.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
/** Per-user files go to a temporary folder while a row runs. */
struct WindowBenchFolder
{
    juce::TemporaryFile base;
    std::unique_ptr<QEL::PlatformPaths::ScopedBaseOverride> paths;

    WindowBenchFolder()
    {
        base.getFile().createDirectory();
        paths = std::make_unique<QEL::PlatformPaths::ScopedBaseOverride> (base.getFile());
    }
    ~WindowBenchFolder()
    {
        paths.reset();
        base.getFile().deleteRecursively();
    }
};

// Without a window manager some atoms JUCE asks for do not exist; the default Xlib handler
// would end the process on the first BadAtom.
int ignoreXErrors (Display*, XErrorEvent*)
{
    return 0;
}

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1.0e-9 * (double) t.tv_nsec;
}

double residentMegabytes()
{
    std::ifstream statm ("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return (double) resident * (double) sysconf (_SC_PAGESIZE) / (1024.0 * 1024.0);
}

void pump (int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

/** Runs the message loop as a host's event loop does, blocking between events rather than polling
    every millisecond as runDispatchLoopUntil does, so that only the editor's own work is counted. */
void runLikeAHost (double seconds)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + 1000.0 * seconds;
    bool timeUp = false;
    juce::Timer::callAfterDelay ((int) (1000.0 * seconds), [&timeUp] { timeUp = true; });
    while (! timeUp && juce::Time::getMillisecondCounterHiRes() < end + 100.0)
        juce::dispatchNextMessageOnSystemQueue (false);
}

/** Puts the pointer in the screen's bottom-right corner, off an editor at the top-left one, so
    that no panel is hovered. */
void movePointerAway()
{
    const auto screen = juce::Desktop::getInstance().getDisplays().getTotalBounds (true);
    juce::Desktop::setMousePosition ({ screen.getRight() - 1, screen.getBottom() - 1 });
}

/** One plug-in instance with its editor shown in a window at the top-left corner of the screen. */
struct OpenEditor
{
    OrvaneTessaroAudioProcessor processor;
    std::unique_ptr<OrvaneTessaroAudioProcessorEditor> editor;

    OpenEditor()
    {
        movePointerAway();
        editor.reset (dynamic_cast<OrvaneTessaroAudioProcessorEditor*> (processor.createEditorIfNeeded()));
        editor->setTopLeftPosition (0, 0);
        editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
        editor->setVisible (true);
    }
    ~OpenEditor()
    {
        editor->removeFromDesktop();
        processor.editorBeingDeleted (editor.get());
        editor.reset();
    }
};

void close (juce::AudioProcessorEditor& editor, juce::AudioProcessor& processor)
{
    editor.removeFromDesktop();
    processor.editorBeingDeleted (&editor);
}

bool haveDisplay (benchmark::State& state)
{
    XSetErrorHandler (ignoreXErrors);
    if (! juce::Desktop::getInstance().getDisplays().displays.isEmpty())
        return true;
    state.SkipWithError ("no display: run under xvfb-run");
    return false;
}

constexpr double openSeconds = 10.0;

/** The message thread's CPU time over 10 s with the editor open at its default size, after 4 s
    open (a strip's whole loop), as a share of one core (cpu_pct): argument 0 animations Off, 1 On with no panel
   hovered, 2 Always On, 3 On with one panel hovered (one strip plays). No audio runs. */
void BM_EditorWindowIdleCpu (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    if (! haveDisplay (state))
        return;
    WindowBenchFolder folder;
    const int mode = (int) state.range (0);

    for (auto _ : state)
    {
        OpenEditor open;
        auto& face = open.editor->mainPanel;
        face.updateAnimationMode (mode == 3 ? 1 : mode);
        if (open.editor->getScreenBounds().contains (juce::Desktop::getMousePosition()))
            state.SkipWithError ("the screen is too small to keep the pointer off the editor");
        if (mode == 3)
            face.eqPanel.animationStrip->setPlaying (true);
        pump (4000); // the window's settling, and one whole loop of the strips that play

        const double cpuBefore = threadCpuSeconds();
        const auto wallBefore = juce::Time::getMillisecondCounterHiRes();
        runLikeAHost (openSeconds);
        const double cpu = threadCpuSeconds() - cpuBefore;
        const double wall = 1.0e-3 * (juce::Time::getMillisecondCounterHiRes() - wallBefore);

        state.SetIterationTime (wall);
        state.counters["cpu_pct"] = 100.0 * cpu / wall;
        state.counters["cpu_ms_per_s"] = 1000.0 * cpu / wall;
    }
}
BENCHMARK (BM_EditorWindowIdleCpu)
    ->ArgName ("mode")
    ->Arg (0)
    ->Arg (1)
    ->Arg (2)
    ->Arg (3)
    ->Iterations (1)
    ->UseManualTime()
    ->Unit (benchmark::kSecond);

/** Resident-set growth for opening the editor of one instance in a window: one second after it opened
    (first_open_mb, the strips' pictures still decoded for making their first frames) and once those
    have been let go (first_mb: the open editor itself). Then the mean for each further editor of the
    four instances open at once, settled the same way (further_mb); then for all strips of the four
    playing a whole loop (playing_mb); and what is still held after every editor has closed
    (after_close_mb). The processors exist before any count. */
void BM_EditorWindowMemory (benchmark::State& state)
{
    constexpr int instances = 4;
    juce::ScopedJuceInitialiser_GUI juce;
    if (! haveDisplay (state))
        return;
    WindowBenchFolder folder;

    for (auto _ : state)
    {
        std::vector<std::unique_ptr<OrvaneTessaroAudioProcessor>> processors;
        for (int i = 0; i < instances; ++i)
            processors.push_back (std::make_unique<OrvaneTessaroAudioProcessor>());
        pump (200);

        std::vector<std::unique_ptr<juce::AudioProcessorEditor>> editors;
        const auto open = [&] (int index)
        {
            editors.emplace_back (processors[(size_t) index]->createEditorIfNeeded());
            editors.back()->setTopLeftPosition (40 * index, 40 * index);
            editors.back()->addToDesktop (juce::ComponentPeer::windowIsTemporary);
            editors.back()->setVisible (true);
            pump (1000);
        };

        // JUCE's image cache lets a picture nobody holds go after five seconds.
        constexpr int settleMs = 7000;
        const double before = residentMegabytes();
        movePointerAway();
        open (0);
        state.counters["first_open_mb"] = residentMegabytes() - before;
        pump (settleMs);
        const double afterFirst = residentMegabytes();
        for (int i = 1; i < instances; ++i)
            open (i);
        pump (settleMs);
        const double afterAll = residentMegabytes();

        state.counters["first_mb"] = afterFirst - before;
        state.counters["further_mb"] = (afterAll - afterFirst) / (instances - 1);

        // Every strip of every editor playing through a whole loop: the frames scaled to the
        // drawn size are made once and shared by all.
        for (auto& editor : editors)
            if (auto* product = dynamic_cast<OrvaneTessaroAudioProcessorEditor*> (editor.get()))
                product->mainPanel.updateAnimationMode (TessaroComponent::AlwaysOn);
        pump (4000);
        state.counters["playing_mb"] = residentMegabytes() - afterAll;

        for (int i = instances; --i >= 0;)
        {
            close (*editors[(size_t) i], *processors[(size_t) i]);
            editors[(size_t) i].reset();
        }
        pump (settleMs);
        state.counters["after_close_mb"] = residentMegabytes() - before;
    }
}
BENCHMARK (BM_EditorWindowMemory)->Iterations (1)->Unit (benchmark::kMillisecond);
} // namespace
