#include "framework/core/save/EFLoadSaveMgrGC.h"

u32 EFLoadSaveMgr_SP::SpecificInitialize() {
	return 1;
}

void EFLoadSaveMgr_SP::SpecificUpdate() {
}
