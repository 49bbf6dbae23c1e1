#include "platform/os/OS.h"

#include "platform/host/HostArena.h"

namespace {

void*	arenaLo = nullptr;
void*	arenaHi = nullptr;

}

void OSInit() {
	HostArenaBase();
}

void* OSGetArenaLo() {
	HostArenaBase();
	return arenaLo;
}

void* OSGetArenaHi() {
	HostArenaBase();
	return arenaHi;
}

void OSSetArenaLo( void* lo ) {
	arenaLo = lo;
}

void OSSetArenaHi( void* hi ) {
	arenaHi = hi;
}
