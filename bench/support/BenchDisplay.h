#pragma once

// Benchmarks that show windows need a display: without one (DISPLAY unset) the benchmark starts
// itself again under xvfb-run on a 1920x1080 screen and never returns; with one it returns at
// once. argv: main's arguments, ending with a null pointer.
namespace BenchDisplay {

void ensure(char **argv);

} // namespace BenchDisplay
