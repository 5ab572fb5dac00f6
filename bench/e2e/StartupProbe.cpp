// Start-up probe: stands in for the application's native library (and, built as a program,
// for a bare process) and prints the steady clock in nanoseconds the moment it is entered.
// The benchmark reads that instant against the one at which it started the chain; the clock
// is system-wide (CLOCK_MONOTONIC / QueryPerformanceCounter), so the two can be compared.
#include <chrono>
#include <cstdio>

#ifdef STARTUP_PROBE_LIBRARY
#include <jni.h>

extern "C" JNIEXPORT void JNICALL Java_com_vantrel_bitmorph_Bitmorph_main(JNIEnv *, jclass, jobjectArray) {
#else
int main() {
#endif
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::printf("%lld\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
  std::fflush(stdout);
#ifndef STARTUP_PROBE_LIBRARY
  return 0;
#endif
}
