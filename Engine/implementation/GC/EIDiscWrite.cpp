#include "Engine/implementation/GC/EIDiscWrite.h"

#include "datatypes/file/DTFile.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostSettings.h"

namespace {

const DTFileWriteHook HOST_DISC_WRITES = { DVDHostCreate, DVDHostWrite, DVDHostDelete };

}

bool EIInstallDiscWriteHook() {
	const bool writable = HostGetSettings().discWriteFolder[0] != 0;
	DTSetFileWriteHook( writable ? &HOST_DISC_WRITES : nullptr );
	return writable;
}
