#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"

namespace {

bool initialised = false;

}

void CARDInit() {
	initialised = true;
}

bool CARDHostIsInitialised() {
	return initialised;
}

void CARDHostReset() {
	initialised = false;
}
