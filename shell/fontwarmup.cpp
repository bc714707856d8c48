#include "shell/fontwarmup.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace {
FontWarmUp *g_running = nullptr;
}

FontWarmUp::FontWarmUp()
{
    try {
        // Reading the configuration is safe beside the toolkit's own use of
        // the font library, which loads it at most once for the process.
        m_thread = std::thread([] { FcInit(); });
        g_running = this;
    } catch (const std::system_error &) {
        // No thread to be had: the toolkit reads the configuration itself.
    }
}

FontWarmUp::~FontWarmUp()
{
    if (m_thread.joinable())
        m_thread.join();
    if (g_running == this)
        g_running = nullptr;
}

void FontWarmUp::wait()
{
    if (g_running && g_running->m_thread.joinable())
        g_running->m_thread.join();
}
