// The dependency of the probe library: found or not, depending on where it lies.
extern "C" __declspec(dllexport) int probe_answer() { return 42; }
