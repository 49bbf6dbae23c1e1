// This program counts the calls of operator new and delete with the
// notification tests' allocator, so that a test can see what a level left
// allocated once it ended.
#include "framework/core/world/notification/CountingNew.cpp"
