#include "video/vid/VIDSimpleDiscCheck.h"

#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTDiscMessage.h"
#include "platform/dvd/DVD.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"
#include "platform/pad/PAD.h"
#include "platform/vi/VI.h"

namespace {

// States above this one mean the drive needs the player's attention.
constexpr s32 LAST_QUIET_STATE = DVD_STATE_COVER_CLOSED;

// Disc message of a drive state, or -1 for none.
s32 MessageFor( const s32 driveState ) {
	switch ( driveState ) {
		case DVD_STATE_NO_DISK:		return DT_DISC_MESSAGE_INSERT_DISC;
		case DVD_STATE_COVER_OPEN:	return DT_DISC_MESSAGE_COVER_OPEN;
		case DVD_STATE_WRONG_DISK:	return DT_DISC_MESSAGE_WRONG_DISC;
		case DVD_STATE_RETRY:		return DT_DISC_MESSAGE_UNREADABLE;
		default:					return -1;
	}
}

}

void VIDSimpleWaitForDrive() {
	for ( s32 state = DVDGetDriveStatus(); state != DVD_STATE_END; state = DVDGetDriveStatus() ) {
		if ( state > LAST_QUIET_STATE ) {
			VIWaitForRetrace();
			PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
			const s32 message = MessageFor( state );
			if ( message >= 0 ) {
				DisplayMessageWithRomFont( GetLocalizedMessage( message ) );
			}
		} else {
			HostIdle();
		}
		CheckReset();
	}
}

s32 VIDSimpleCheckDVDError() {
	switch ( DVDGetDriveStatus() ) {
		case DVD_STATE_FATAL_ERROR:
			OSReport( "DVDGetDriveStatus()=DVD_STATE_FATAL_ERROR\n" );
			return 0;
		case DVD_STATE_NO_DISK:
			OSReport( "DVDGetDriveStatus()=DVD_STATE_NO_DISK\n" );
			return 0;
		case DVD_STATE_COVER_OPEN:
			OSReport( "DVDGetDriveStatus()=DVD_STATE_COVER_OPEN\n" );
			return 0;
		case DVD_STATE_WRONG_DISK:
			OSReport( "DVDGetDriveStatus()=DVD_STATE_WRONG_DISK\n" );
			return 0;
		case DVD_STATE_RETRY:
			OSReport( "DVDGetDriveStatus()=DVD_STATE_RETRY\n" );
			return 0;
		default:
			return 1;
	}
}
