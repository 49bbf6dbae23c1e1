#include "video/m4/M4BlockDecoder.h"

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4VlcDecoder.h"

constexpr u32 M4_TCOEF_WINDOW		= M4_TCOEF_WINDOW_BITS;
constexpr u32 M4_ESCAPE_LENGTH		= 7;
constexpr u32 M4_FIXED_RUN_BITS		= 6;
constexpr u32 M4_FIXED_LEVEL_BITS	= 12;

namespace {

struct M4Coefficient {
	u32		last;
	u32		run;
	s32		level;
	bool	valid;
};

// One table code and its sign bit, without escape handling. One look at
// the next 32 bits gives the code's window and, after the code, its sign.
M4Coefficient M4ReadPlainCode( M4Bitstream* bs, const M4CoefficientTables& tables, u32* value ) {
	M4Coefficient	coefficient{};
	const u32		bits = M4BitstreamShow( bs, 32 );
	const u32		entry = M4CoefficientEntry( tables, bits >> ( 32 - M4_TCOEF_WINDOW ) );
	*value = M4VlcValue( entry );
	if ( M4VlcIsMissing( entry ) ) {
		M4BitstreamSkip( bs, M4_TCOEF_WINDOW );
		return coefficient;
	}
	const u32 length = M4VlcLength( entry );
	if ( *value == M4_VLC_ESCAPE ) {
		M4BitstreamSkip( bs, length );
		return coefficient;
	}
	coefficient.last = *value >> M4_TCOEF_LAST_SHIFT;
	coefficient.run = ( *value >> M4_TCOEF_RUN_SHIFT ) & M4_TCOEF_RUN_MASK;
	coefficient.level = static_cast<s32>( *value & M4_TCOEF_LEVEL_MASK );
	if ( ( ( bits >> ( 31 - length ) ) & 1 ) != 0 ) {
		coefficient.level = -coefficient.level;
	}
	M4BitstreamSkip( bs, length + 1 );
	coefficient.valid = true;
	return coefficient;
}

u32 M4MaxLevel( const M4CoefficientTables& tables, const u32 last, const u32 run ) {
	return tables.mMaxLevel[last * M4_MAX_RUNS + run];
}

u32 M4MaxRun( const M4CoefficientTables& tables, const u32 last, const s32 level ) {
	const u32 magnitude = static_cast<u32>( level < 0 ? -level : level );
	if ( magnitude >= M4_MAX_LEVELS ) {
		return 0;
	}
	return tables.mMaxRun[last * M4_MAX_LEVELS + magnitude];
}

// One coefficient, escapes resolved; valid is false for a code missing
// from the table.
__attribute__( ( noinline ) ) M4Coefficient M4ReadCoefficient( M4Bitstream* bs, const M4CoefficientTables& tables ) {
	u32				value = 0;
	M4Coefficient	coefficient = M4ReadPlainCode( bs, tables, &value );
	if ( value != M4_VLC_ESCAPE ) {
		return coefficient;
	}
	if ( M4BitstreamGet( bs, 1 ) == 0 ) {
		coefficient = M4ReadPlainCode( bs, tables, &value );
		if ( coefficient.valid ) {
			const s32 offset = static_cast<s32>( M4MaxLevel( tables, coefficient.last, coefficient.run ) );
			coefficient.level += coefficient.level < 0 ? -offset : offset;
		}
		return coefficient;
	}
	if ( M4BitstreamGet( bs, 1 ) == 0 ) {
		coefficient = M4ReadPlainCode( bs, tables, &value );
		if ( coefficient.valid ) {
			coefficient.run += M4MaxRun( tables, coefficient.last, coefficient.level ) + 1;
		}
		return coefficient;
	}
	coefficient.last = M4BitstreamGet( bs, 1 );
	coefficient.run = M4BitstreamGet( bs, M4_FIXED_RUN_BITS );
	M4BitstreamSkip( bs, 1 );
	// 12-bit two's complement.
	const u32 raw = M4BitstreamGet( bs, M4_FIXED_LEVEL_BITS );
	coefficient.level = static_cast<s32>( raw ) - ( ( raw & 0x800 ) != 0 ? 0x1000 : 0 );
	M4BitstreamSkip( bs, 1 );
	coefficient.valid = true;
	return coefficient;
}

// Stores one coefficient at the next scan position; true when it ends the
// block.
inline bool M4StoreCoefficient( s16* block, u32* position, const M4Coefficient& coefficient, const u8* scan ) {
	u32 at = *position + coefficient.run;
	if ( at < M4_BLOCK_SIZE ) {
		block[scan[at]] = static_cast<s16>( coefficient.level );
	}
	*position = at < M4_BLOCK_SIZE ? at + 1 : M4_BLOCK_SIZE;
	return coefficient.last != 0;
}

// The reader's state as plain values, so that the compiler keeps them in
// registers across the block's stores (which could otherwise alias a
// reader in memory).
struct M4LocalReader {
	u32			current;
	u32			next;
	u32			bitPosition;
	u32			wordsLoaded;
	const u8*	tail;
	const u8*	end;

	explicit M4LocalReader( const M4Bitstream* bs )
		: current( bs->mCurrent ), next( bs->mNext ), bitPosition( bs->mBitPosition ), wordsLoaded( bs->mWordsLoaded ),
		  tail( bs->mTail ), end( bs->mStart + bs->mSize ) {}

	void store( M4Bitstream* bs ) const {
		bs->mCurrent = current;
		bs->mNext = next;
		bs->mBitPosition = bitPosition;
		bs->mWordsLoaded = wordsLoaded;
		bs->mTail = tail;
	}

	u32 show32() const {
		const u64 both = ( static_cast<u64>( current ) << 32 ) | next;
		return static_cast<u32>( ( both << bitPosition ) >> 32 );
	}

	// n is at most 32, so one refill at most.
	void skip( const u32 n ) {
		bitPosition += n;
		if ( bitPosition < 32 ) {
			return;
		}
		bitPosition -= 32;
		current = next;
		wordsLoaded++;
		next = M4BitstreamReadWord( &tail, end );
	}
};

// Plain codes, the common case, are read in the loop itself with the
// local reader and one look-up in the flat table; escapes and missing
// codes take the general reader on the real one.
void M4DecodeBlock( M4Bitstream* bs, s16* block, u32 position, const M4CoefficientTables& tables, const u8* scan ) {
	M4LocalReader		reader( bs );
	const u16* const	flat = tables.mFlat;
	for ( ;; ) {
		const u32		bits = reader.show32();
		const u32		packed = flat[bits >> ( 32 - M4_TCOEF_WINDOW )];
		const u32		length = packed >> M4_TCOEF_FLAT_LENGTH_SHIFT;
		M4Coefficient	coefficient;
		bool			plain = false;
		if ( __builtin_expect( length != 0, 1 ) ) {
			coefficient.last = ( packed >> M4_TCOEF_FLAT_LAST_SHIFT ) & 1;
			coefficient.run = ( packed >> M4_TCOEF_FLAT_RUN_SHIFT ) & M4_TCOEF_RUN_MASK;
			const s32 level = static_cast<s32>( packed & M4_TCOEF_FLAT_LEVEL_MASK );
			coefficient.level = ( ( bits >> ( 31 - length ) ) & 1 ) != 0 ? -level : level;
			coefficient.valid = true;
			reader.skip( length + 1 );
			plain = true;
		}
		if ( !plain ) {
			reader.store( bs );
			coefficient = M4ReadCoefficient( bs, tables );
			reader = M4LocalReader( bs );
			if ( !coefficient.valid ) {
				return;
			}
		}
		if ( M4StoreCoefficient( block, &position, coefficient, scan ) ) {
			reader.store( bs );
			return;
		}
	}
}

} // namespace

void M4DecodeIntraBlock( M4Bitstream* bs, s16* block, const u32 first, const M4CoefficientTables& tables, const u8* scan ) {
	M4DecodeBlock( bs, block, first, tables, scan );
}

void M4DecodeInterBlock( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan ) {
	M4DecodeBlock( bs, block, 0, tables, scan );
}
