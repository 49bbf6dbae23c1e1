#include "framework/core/save/EFLoadSaveMgr.h"

EFLoadSaveMgr goLoadSaveMgr;
