#include "datatypes/file/DTConsoleReset.h"

#include "platform/vi/VI.h"

u8		gbConsoleResetPushed = 0;
u32		gui32EnableReset = 1;
OSTime	goPadResetLastCheck = OSGetTime();

void CheckReset() {
	if ( OSGetResetButtonState() ) {
		gbConsoleResetPushed = 1;
		return;
	}
	if ( gbConsoleResetPushed != 0 ) {
		GCReset( OS_RESET_RESTART, 0, 0 );
	}
}

void GCReset( const s32 reset, const u32 resetCode, const BOOL forceMenu ) {
	if ( gui32EnableReset == 0 ) {
		return;
	}
	OSReport( "Before VISetBlack\n" );
	VISetBlack( 1 );
	OSReport( "Before VIFlush\n" );
	VIFlush();
	OSReport( "Before VIWaitForRetrace 1\n" );
	VIWaitForRetrace();
	OSReport( "Before VIWaitForRetrace 2\n" );
	VIWaitForRetrace();
	OSReport( "Before OSResetSystem\n" );
	OSResetSystem( reset, resetCode, forceMenu );
}
