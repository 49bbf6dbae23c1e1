#include "framework/logic/api/EFApiTrace.h"

const char * EFApiTrace::mFuncName = nullptr;
