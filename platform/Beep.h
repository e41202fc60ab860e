#pragma once
// The system beep of refused input. Every beep of the program goes through
// fc::Beep, so that tests can count them instead of hearing them.

#include <functional>

namespace fc {

// Sounds the beep: the installed hook when there is one, else the sound.
void Beep();

// The sound itself. Qt Core has no bell, so the widget layer installs the
// desktop's (QApplication::beep); until then Beep is silent.
void SetBeepSound(void (*sound)());
bool HasBeepSound();

// Replaces the sound for as long as it is installed; returns the previous
// hook. An empty hook restores the sound.
using BeepHook = std::function<void()>;
BeepHook SetBeepHook(BeepHook hook);

// Counts the beeps of its scope instead of sounding them.
class ScopedBeepCounter {
public:
    ScopedBeepCounter();
    ~ScopedBeepCounter();
    ScopedBeepCounter(const ScopedBeepCounter&) = delete;
    ScopedBeepCounter& operator=(const ScopedBeepCounter&) = delete;

    int Count() const { return count_; }
    void Reset() { count_ = 0; }

private:
    int count_ = 0;
    BeepHook previous_;
};

} // namespace fc
