// A library with a dependency of its own, loaded the way the scanner library is loaded.
extern "C" __declspec(dllimport) int probe_answer();
extern "C" __declspec(dllexport) int probe_call() { return probe_answer(); }
