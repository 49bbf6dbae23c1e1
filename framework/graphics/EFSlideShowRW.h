/*
===============================================================================

	The platform half of the slide show: reading a slide file into the
	show's buffer.

	On the host the whole named file (at most the buffer's size) is read
	through the disc's file layer before StreamBlock returns; a missing,
	unreadable or larger file gives 0 bytes, which the block loading then
	refuses. StreamSync reports no read in progress, except that a test
	may ask a read to stay in progress for a number of polls so that the
	waiting paths run.

===============================================================================
*/
#ifndef EF_SLIDE_SHOW_RW_H
#define EF_SLIDE_SHOW_RW_H

#include "datatypes/base/DTTypes.h"

class EFSlideShow_SP {
public:
	// Reads the named file into the show's buffer.
	void					StreamBlock( const char * name );
	// Non-zero while the last read is in progress.
	u32						StreamSync();
	// Bytes the last read gave.
	u32						GetBytesRead() const { return muiBytesRead; }

	// Polls of StreamSync that report each later read still in progress.
	static void				SetReadPolls( u32 polls ) { msuiReadPolls = polls; }
	// Polls answered "in progress" since start-up.
	static u32				GetBusyPolls() { return msuiBusyPolls; }

protected:
							EFSlideShow_SP() = default;
							~EFSlideShow_SP() = default;

private:
	u32						muiBytesRead = 0;
	u32						muiPendingPolls = 0;

	static u32				msuiReadPolls;
	static u32				msuiBusyPolls;
};

#endif
