#pragma once
// Whether the calls that erase do erase, or only count what they would erase.
//
// The preview ("Analyser") runs the very cleaners the run runs; only the last call of each
// erasure (a file's or folder's deletion, a registry value's, a URL cache entry's, the recycle
// bins' emptying, the clipboard's, a database's edit) asks here and, while counting, notes in the
// tally what it would have removed and changes nothing. Everything before that last call (the
// folders opened, listed and checked, the files opened for deletion, which tells a file in use
// or refused) is the same in both, so what the preview counts is what the run removes.
//
// One mode for the process, set on the user-interface thread for the length of a preview.

namespace platform::erasure {

bool Counting();
// A number that changes with each counting scope, for what a scope keeps.
unsigned ScopeNumber();

// Switches every erasing call to counting while it lives.
class CountingScope {
 public:
  CountingScope();
  ~CountingScope();
  CountingScope(const CountingScope&) = delete;
  CountingScope& operator=(const CountingScope&) = delete;

 private:
  bool was_counting_;
};

}  // namespace platform::erasure
