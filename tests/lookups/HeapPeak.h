#pragma once
// Heap use of the test process, counted by a replaced global operator new (HeapPeak.cpp; link
// it into one test program only).

namespace lookups_test {

// Starts a new measurement: the peak is set to what is live now.
void resetHeapPeak();
// The peak of live heap bytes since resetHeapPeak, less what was live then.
long long heapPeakGrowth();

} // namespace lookups_test
