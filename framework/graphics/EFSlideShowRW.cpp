#include "framework/graphics/EFSlideShowRW.h"

#include "datatypes/file/DTFile.h"
#include "framework/graphics/EFSlideShow.h"

u32 EFSlideShow_SP::msuiReadPolls = 0;
u32 EFSlideShow_SP::msuiBusyPolls = 0;

void EFSlideShow_SP::StreamBlock( const char * name ) {
	EFSlideShow & show = *static_cast<EFSlideShow *>( this );
	muiBytesRead = 0;
	muiPendingPolls = msuiReadPolls;
	DTFileHandle_ * const file = DTFopen( name, "rb" );
	if ( file == nullptr ) {
		return;
	}
	const u32 bytes = DTFread( show.mpBuffer, 1, show.muiBufferSize, file );
	u8 beyond = 0;
	// A file larger than the buffer is refused whole rather than cut.
	if ( bytes == show.muiBufferSize && DTFread( &beyond, 1, 1, file ) != 0 ) {
		DTFclose( file );
		return;
	}
	DTFclose( file );
	muiBytesRead = bytes;
}

u32 EFSlideShow_SP::StreamSync() {
	if ( muiPendingPolls == 0 ) {
		return 0;
	}
	muiPendingPolls--;
	msuiBusyPolls++;
	return 1;
}
