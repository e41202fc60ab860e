#include "Beep.h"

#include <utility>

namespace fc {

namespace {
void (*g_sound)() = nullptr;
BeepHook& hook()
{
    static BeepHook h;
    return h;
}
} // namespace

void Beep()
{
    if (hook())
        hook()();
    else if (g_sound)
        g_sound();
}

void SetBeepSound(void (*sound)()) { g_sound = sound; }
bool HasBeepSound() { return g_sound != nullptr; }

BeepHook SetBeepHook(BeepHook h) { return std::exchange(hook(), std::move(h)); }

ScopedBeepCounter::ScopedBeepCounter()
{
    previous_ = SetBeepHook([this] { ++count_; });
}

ScopedBeepCounter::~ScopedBeepCounter() { SetBeepHook(std::move(previous_)); }

} // namespace fc
