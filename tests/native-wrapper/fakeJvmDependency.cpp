// A library the fake VM library needs, as a real runtime's VM library needs its C runtime:
// the tests place it only in the runtime's library folder (jre64\bin on Windows, jre64/lib
// on Linux), never beside the VM library.
int fakeJvmDependency() {
  return 42;
}
