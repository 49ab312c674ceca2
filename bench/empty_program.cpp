// Baseline for the benchmark: the cost of starting and ending a C++ process,
// linked statically so that no dynamic loading is counted.

int main() { return 0; }
