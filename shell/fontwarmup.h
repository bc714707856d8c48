#pragma once

#include <thread>

// Reading the system's font configuration (its XML files, then its font
// caches) takes several milliseconds, and the main window's first text waits
// for it. The program reads it on a second thread while the main window's
// actions, menus and tool bar are made, and the window awaits it just before
// its first text: the font library keeps the configuration, which the toolkit
// then finds ready. The second processor does the reading; no time of the
// main thread is spent on it twice.
//
// One warm-up runs at a time, made by main() right after the toolkit starts;
// it is awaited at the latest when it is destroyed.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Returns once the running warm-up, if any, is over (at once without one).
    // Called from the thread that made the warm-up.
    static void wait();

private:
    std::thread m_thread;
};
