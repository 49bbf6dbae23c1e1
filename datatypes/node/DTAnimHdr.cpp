#include "datatypes/node/DTAnimHdr.h"

#include "datatypes/base/DTByteOrder.h"

DTAnimHdr::DTAnimHdr( const u8 * block ) : mpBlock( block ), muiBlockSize( 0 ), mbResolved( false ) {
}

bool DTAnimHdr::ResolvePointers( const u32 blockSize ) {
	if ( mpBlock == nullptr || blockSize < DT_ANIM_HDR_FIRST_TRACK ) {
		return false;
	}
	const u32 tracks = mpBlock[DT_ANIM_HDR_TRACK_COUNT_OFFSET];
	// 64-bit positions: no stored count can wrap them.
	u64 position = DT_ANIM_HDR_FIRST_TRACK;
	for ( u32 track = 0; track < tracks; track++ ) {
		if ( position + DT_ANIM_HDR_TRACK_HEAD_BYTES > blockSize ) {
			return false;
		}
		const u32 entries = DTReadBE16( mpBlock + position + DT_ANIM_HDR_ENTRY_COUNT_OFFSET );
		const u64 end = position + DT_ANIM_HDR_TRACK_HEAD_BYTES + static_cast<u64>( entries ) * DT_ANIM_HDR_ENTRY_BYTES;
		if ( end > blockSize ) {
			return false;
		}
		for ( u64 entry = position + DT_ANIM_HDR_TRACK_HEAD_BYTES; entry < end; entry += DT_ANIM_HDR_ENTRY_BYTES ) {
			if ( DTReadBE32( mpBlock + entry + DT_ANIM_HDR_ENTRY_OFFSET_WORD ) >= blockSize ) {
				return false;
			}
		}
		position = end;
	}
	muiBlockSize = blockSize;
	mbResolved = true;
	return true;
}

u32 DTAnimHdr::GetTrackCount() const {
	if ( !mbResolved ) {
		return 0;
	}
	return mpBlock[DT_ANIM_HDR_TRACK_COUNT_OFFSET];
}

const u8 * DTAnimHdr::GetTrack( const u32 track ) const {
	if ( track >= GetTrackCount() ) {
		return nullptr;
	}
	// Tracks were checked to lie in the block when it was resolved.
	const u8 * head = mpBlock + DT_ANIM_HDR_FIRST_TRACK;
	for ( u32 i = 0; i < track; i++ ) {
		const u32 entries = DTReadBE16( head + DT_ANIM_HDR_ENTRY_COUNT_OFFSET );
		head += DT_ANIM_HDR_TRACK_HEAD_BYTES + entries * DT_ANIM_HDR_ENTRY_BYTES;
	}
	return head;
}

u32 DTAnimHdr::GetEntryCount( const u32 track ) const {
	const u8 * const head = GetTrack( track );
	if ( head == nullptr ) {
		return 0;
	}
	return DTReadBE16( head + DT_ANIM_HDR_ENTRY_COUNT_OFFSET );
}

const u8 * DTAnimHdr::GetEntry( const u32 track, const u32 entry ) const {
	const u8 * const head = GetTrack( track );
	if ( head == nullptr || entry >= DTReadBE16( head + DT_ANIM_HDR_ENTRY_COUNT_OFFSET ) ) {
		return nullptr;
	}
	return head + DT_ANIM_HDR_TRACK_HEAD_BYTES + entry * DT_ANIM_HDR_ENTRY_BYTES;
}

const u8 * DTAnimHdr::EntryTarget( const u32 track, const u32 entry ) const {
	const u8 * const bytes = GetEntry( track, entry );
	if ( bytes == nullptr ) {
		return nullptr;
	}
	return mpBlock + DTReadBE32( bytes + DT_ANIM_HDR_ENTRY_OFFSET_WORD );
}
