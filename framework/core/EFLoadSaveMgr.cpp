#include "framework/core/EFLoadSaveMgr.h"

EFLoadSaveMgr goLoadSaveMgr;
