/*
===============================================================================

	Disc drive, host side of the disc library: what the file calls need to
	know about the command queue.

===============================================================================
*/
#ifndef DVD_DRIVE_H
#define DVD_DRIVE_H

#include "platform/dvd/DVD.h"

// True while a read of this file is queued or running.
bool	DVDDriveIsPending( const DVDFileInfo* fileInfo );

#endif
