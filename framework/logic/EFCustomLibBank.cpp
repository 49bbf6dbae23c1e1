#include "framework/logic/EFCustomLibBank.h"

#include "framework/core/EFCallTrace.h"

void EFCustomLibBank::Destroy() {
	EFCallTraceAdd( "EFCustomLibBank::Destroy" );
}
