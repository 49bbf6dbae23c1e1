// The logic API test program counts its allocations with the
// notification tests' allocator.
#include "framework/core/world/notification/CountingNew.cpp"
