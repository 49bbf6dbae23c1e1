#include "framework/logic/EFApiTrace.h"

const char * EFApiTrace::mFuncName = nullptr;
