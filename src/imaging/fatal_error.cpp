#include "imaging/fatal_error.h"

#include "imaging/string_table.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace tp {

namespace {

void WriteToStderr(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

// The hooks are installed once by the front end at start-up and only read afterwards; the mutex keeps a
// worker thread's report from racing a late installation.
struct Hooks {
    std::mutex mutex;
    MessageHook fatal = WriteToStderr;
    MessageHook message = WriteToStderr;
    DetailedMessageHook detailed;
};

Hooks& InstalledHooks()
{
    static Hooks hooks;
    return hooks;
}

MessageHook Current(MessageHook Hooks::*which)
{
    Hooks& hooks = InstalledHooks();
    std::lock_guard lock(hooks.mutex);
    return hooks.*which;
}

void Install(MessageHook Hooks::*which, MessageHook hook)
{
    Hooks& hooks = InstalledHooks();
    std::lock_guard lock(hooks.mutex);
    hooks.*which = hook ? std::move(hook) : MessageHook(WriteToStderr);
}

}  // namespace

void SetFatalErrorHook(MessageHook hook) { Install(&Hooks::fatal, std::move(hook)); }

void FatalError(const std::string& text)
{
    Current(&Hooks::fatal)(text);
    std::exit(-1);
}

void FatalOutOfMemory()
{
    Current(&Hooks::message)(LoadString(strings::kMemoryAllocationFailed));
    std::exit(-1);
}

void SetMessageHook(MessageHook hook) { Install(&Hooks::message, std::move(hook)); }

void ShowMessage(const std::string& text) { Current(&Hooks::message)(text); }

void SetDetailedMessageHook(DetailedMessageHook hook)
{
    Hooks& hooks = InstalledHooks();
    std::lock_guard lock(hooks.mutex);
    hooks.detailed = std::move(hook);
}

void ShowMessage(const std::string& text, const std::string& detail)
{
    DetailedMessageHook detailed;
    {
        Hooks& hooks = InstalledHooks();
        std::lock_guard lock(hooks.mutex);
        detailed = hooks.detailed;
    }
    if (detailed)
        detailed(text, detail);
    else
        ShowMessage(text);
}

}  // namespace tp
