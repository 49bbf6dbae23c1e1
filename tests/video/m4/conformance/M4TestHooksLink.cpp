// The decoder tests' counting memory hooks, built into this program too.
#include "../M4TestHooks.cpp"
