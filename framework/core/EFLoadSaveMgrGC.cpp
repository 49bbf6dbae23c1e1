#include "framework/core/EFLoadSaveMgrGC.h"

u32 EFLoadSaveMgr_SP::SpecificInitialize() {
	return 1;
}

void EFLoadSaveMgr_SP::SpecificUpdate() {
}
