#include "video/m4/M4BlockDecoder.h"

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4InvQuant.h"
#include "video/m4/M4MacroBlock.h"
#include "video/m4/M4VlcDecoder.h"

#include <cstring>

constexpr u32 M4_TCOEF_WINDOW		= M4_TCOEF_WINDOW_BITS;
constexpr u32 M4_FIXED_RUN_BITS		= 6;
constexpr u32 M4_FIXED_LEVEL_BITS	= 12;

namespace {

struct M4Coefficient {
	u32		last;
	u32		run;
	s32		level;
	bool	valid;
};

// The frame's reader as the code readers below see it.
struct M4StreamReader {
	M4Bitstream*	bs;

	u32		show32() const { return M4BitstreamShow( bs, 32 ); }
	void	skip( const u32 n ) { M4BitstreamSkip( bs, n ); }
	u32		get( const u32 n ) { return M4BitstreamGet( bs, n ); }
};

// Bits of the longest coefficient code, an escape to fixed length.
constexpr u32 M4_LONGEST_CODE = 30;

// The next bits of the frame held from the top of a 64-bit register.
// Bits below mValid are zeros or the frame's own next bits, so a refill
// may OR bytes in again at their places. A refill leaves at least 56
// bits: a plain code takes at most 13 (window and sign) and any code at
// most M4_LONGEST_CODE, so refilling below those lets each code be read
// without another.
struct M4BitCache {
	u64					mCache;
	u32					mValid;		// bits of mCache that hold the frame
	u64					mLoaded;	// bits loaded since the frame's start, zeros past its end included
	// The frame, read only by a refill: its start and size stay in memory
	// and leave the block loop its registers.
	const M4Bitstream*	mFrame;

	explicit M4BitCache( const M4Bitstream* bs )
		: mCache( 0 ), mValid( 0 ), mFrame( bs ) {
		const u32 position = M4BitstreamPosition( bs );
		mLoaded = position & ~7u;
		refill();
		consume( position & 7u );
	}

	u64 position() const { return mLoaded - mValid; }

	// At least 56 valid bits afterwards.
	void refill() {
		const u8* const	start = mFrame->mStart;
		const u64		size = mFrame->mSize;
		const u64		byte = mLoaded >> 3;
		if ( byte + 8 <= size ) {
			u64 word;
			std::memcpy( &word, start + byte, sizeof( word ) );
			mCache |= __builtin_bswap64( word ) >> mValid;
			const u32 whole = ( 63 - mValid ) & ~7u;
			mLoaded += whole;
			mValid += whole;
			return;
		}
		while ( mValid <= 56 ) {
			const u64 at = mLoaded >> 3;
			const u64 value = at < size ? start[at] : 0;
			mCache |= value << ( 56 - mValid );
			mValid += 8;
			mLoaded += 8;
		}
	}

	void consume( const u32 n ) {
		mCache <<= n;
		mValid -= n;
	}
};

// One table code and its sign bit, without escape handling. One look at
// the next 32 bits gives the code's window and, after the code, its sign.
template<typename Reader>
inline M4Coefficient M4ReadPlainCode( Reader& reader, const M4CoefficientTables& tables, u32* value ) {
	M4Coefficient	coefficient{};
	const u32		bits = reader.show32();
	const u32		entry = M4CoefficientEntry( tables, bits >> ( 32 - M4_TCOEF_WINDOW ) );
	*value = M4VlcValue( entry );
	if ( M4VlcIsMissing( entry ) ) {
		reader.skip( M4_TCOEF_WINDOW );
		return coefficient;
	}
	const u32 length = M4VlcLength( entry );
	if ( *value == M4_VLC_ESCAPE ) {
		reader.skip( length );
		return coefficient;
	}
	coefficient.last = *value >> M4_TCOEF_LAST_SHIFT;
	coefficient.run = ( *value >> M4_TCOEF_RUN_SHIFT ) & M4_TCOEF_RUN_MASK;
	coefficient.level = static_cast<s32>( *value & M4_TCOEF_LEVEL_MASK );
	if ( ( ( bits >> ( 31 - length ) ) & 1 ) != 0 ) {
		coefficient.level = -coefficient.level;
	}
	reader.skip( length + 1 );
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
template<typename Reader>
M4Coefficient M4ReadCoefficient( Reader& reader, const M4CoefficientTables& tables ) {
	u32				value = 0;
	M4Coefficient	coefficient = M4ReadPlainCode( reader, tables, &value );
	if ( value != M4_VLC_ESCAPE ) {
		return coefficient;
	}
	if ( reader.get( 1 ) == 0 ) {
		coefficient = M4ReadPlainCode( reader, tables, &value );
		if ( coefficient.valid ) {
			const s32 offset = static_cast<s32>( M4MaxLevel( tables, coefficient.last, coefficient.run ) );
			coefficient.level += coefficient.level < 0 ? -offset : offset;
		}
		return coefficient;
	}
	if ( reader.get( 1 ) == 0 ) {
		coefficient = M4ReadPlainCode( reader, tables, &value );
		if ( coefficient.valid ) {
			coefficient.run += M4MaxRun( tables, coefficient.last, coefficient.level ) + 1;
		}
		return coefficient;
	}
	coefficient.last = reader.get( 1 );
	coefficient.run = reader.get( M4_FIXED_RUN_BITS );
	reader.skip( 1 );
	// 12-bit two's complement.
	const u32 raw = reader.get( M4_FIXED_LEVEL_BITS );
	coefficient.level = static_cast<s32>( raw ) - ( ( raw & 0x800 ) != 0 ? 0x1000 : 0 );
	reader.skip( 1 );
	coefficient.valid = true;
	return coefficient;
}

// The next 64 bits of the frame as a reader: enough for any one code,
// escapes included, so reading it needs no refill.
struct M4WindowReader {
	u64		bits;
	u32		used;

	u32		show32() const { return static_cast<u32>( bits >> 32 ); }
	void	skip( const u32 n ) {
		bits <<= n;
		used += n;
	}
	u32		get( const u32 n ) {
		const u32 value = n == 0 ? 0 : static_cast<u32>( bits >> ( 64 - n ) );
		skip( n );
		return value;
	}
};

// Escapes and codes missing from the flat table, out of the block loop:
// the code at the top of bits, and in *used the bits it takes. The block
// loop's reader stays in its registers.
__attribute__( ( noinline ) ) M4Coefficient M4ReadRareCoefficient( const u64 bits, const M4CoefficientTables& tables, u32* used ) {
	M4WindowReader		reader { bits, 0 };
	const M4Coefficient	coefficient = M4ReadCoefficient( reader, tables );
	*used = reader.used;
	return coefficient;
}

// Stores one coefficient at the next scan position; true when it ends the
// block.
template<typename Store>
inline bool M4StoreCoefficient( u32* position, const M4Coefficient& coefficient, const u8* scan, Store& store ) {
	const u32 at = *position + coefficient.run;
	if ( at < M4_BLOCK_SIZE ) {
		store.any( scan[at], coefficient.level );
	}
	*position = at < M4_BLOCK_SIZE ? at + 1 : M4_BLOCK_SIZE;
	return coefficient.last != 0;
}

s32 M4ClampCoefficient( const s32 value ) {
	return value < M4_COEFFICIENT_MIN ? M4_COEFFICIENT_MIN : ( value > M4_COEFFICIENT_MAX ? M4_COEFFICIENT_MAX : value );
}

// (magnitude ^ sign) - sign: the magnitude with the sign of sign (0 or -1).
inline s32 M4ApplySign( const s32 magnitude, const s32 sign ) {
	return ( magnitude ^ sign ) - sign;
}

// Each store takes a plain code's level as a magnitude of 1 to 31 and a
// sign (0 or -1), and any other level as it is. The dequantising stores
// are used for the quantisers a stream can carry, 1 to 31, where every
// product fits 32 bits.
constexpr u32 M4_FUSED_QUANTISER_MAX = 31;

// Levels as they are.
struct M4StoreLevel {
	s16*	block;
	void	plain( const u32 at, const s32 magnitude, const s32 sign ) const { block[at] = static_cast<s16>( M4ApplySign( magnitude, sign ) ); }
	void	any( const u32 at, const s32 level ) const { block[at] = static_cast<s16>( level ); }
};

// The H.263 rule: |out| = 2 Q |level| + Q, less one for an even Q; a level
// 0 stays 0. A plain code's output stays below 2048 (2 x 31 x 31 + 31).
struct M4StoreH263 {
	s16*	block;
	s32		scale;		// 2 Q
	s32		offset;		// Q, less one when even
	// The outputs of the plain codes' magnitudes, 1 to 31.
	s16		magnitudes[M4_TCOEF_FLAT_LEVEL_MASK + 1];

	M4StoreH263( s16* first, const s32 quantiser )
		: block( first ), scale( 2 * quantiser ), offset( quantiser - ( ( quantiser & 1 ) == 0 ? 1 : 0 ) ) {
		for ( s32 level = 0; level <= static_cast<s32>( M4_TCOEF_FLAT_LEVEL_MASK ); level++ ) {
			magnitudes[level] = static_cast<s16>( scale * level + offset );
		}
	}
	void	start( s16* next ) {
		block = next;
		M4ClearBlock( block );
	}
	void	finish() const {}
	void	plain( const u32 at, const s32 magnitude, const s32 sign ) const {
		block[at] = static_cast<s16>( M4ApplySign( magnitudes[magnitude], sign ) );
	}
	void	any( const u32 at, const s32 level ) const {
		const s32 magnitude = scale * ( level < 0 ? -level : level ) + offset;
		block[at] = static_cast<s16>( level == 0 ? 0 : M4ClampCoefficient( level < 0 ? -magnitude : magnitude ) );
	}
};

// The MPEG rule: |out| = ((2 |level| + 1) Q W) >> 4, with the parity of
// the outputs kept for mismatch control.
struct M4StoreMpeg {
	s16*		block;
	s32			quantiser;
	const u8*	matrix;
	u32			parity;
	void		start( s16* next ) {
		block = next;
		parity = 0;
		M4ClearBlock( block );
	}
	// Mismatch control: an even sum has the last output's lowest bit
	// inverted.
	void		finish() const {
		if ( ( parity & 1 ) == 0 ) {
			block[M4_BLOCK_SIZE - 1] = static_cast<s16>( block[M4_BLOCK_SIZE - 1] ^ 1 );
		}
	}
	void		plain( const u32 at, const s32 magnitude, const s32 sign ) {
		const s32 scaled = ( ( 2 * magnitude + 1 ) * quantiser * matrix[at] ) >> 4;
		// The largest magnitude is 2047 for a positive output, 2048 for a
		// negative one.
		const s32 limit = M4_COEFFICIENT_MAX - sign;
		const s32 value = M4ApplySign( scaled < limit ? scaled : limit, sign );
		block[at] = static_cast<s16>( value );
		parity ^= static_cast<u32>( value );
	}
	void		any( const u32 at, const s32 level ) {
		if ( level == 0 ) {
			block[at] = 0;
			return;
		}
		plain( at, level < 0 ? -level : level, level < 0 ? -1 : 0 );
	}
};

// The MPEG intra rule: |out| = (|level| Q W) >> 3, no mismatch control.
struct M4StoreMpegIntra {
	s16*		block;
	s32			quantiser;
	const u8*	matrix;
	void		plain( const u32 at, const s32 magnitude, const s32 sign ) const {
		const s32 scaled = ( magnitude * quantiser * matrix[at] ) >> 3;
		const s32 limit = M4_COEFFICIENT_MAX - sign;
		block[at] = static_cast<s16>( M4ApplySign( scaled < limit ? scaled : limit, sign ) );
	}
	void		any( const u32 at, const s32 level ) const { plain( at, level < 0 ? -level : level, level < 0 ? -1 : 0 ); }
};

// Each level as it is into levels, and dequantised by Dequantising.
template<typename Dequantising>
struct M4StoreBoth {
	s16*			levels;
	Dequantising	dequantising;
	void			plain( const u32 at, const s32 magnitude, const s32 sign ) {
		levels[at] = static_cast<s16>( M4ApplySign( magnitude, sign ) );
		dequantising.plain( at, magnitude, sign );
	}
	void			any( const u32 at, const s32 level ) {
		levels[at] = static_cast<s16>( level );
		dequantising.any( at, level );
	}
};

// Plain codes, the common case, take one look-up in the flat table with
// the bits in the register; escapes and missing codes take the general
// reader on a copy of them.
template<typename Store>
__attribute__( ( always_inline ) ) inline void M4DecodeCodes( M4BitCache& reader, u32 position, const M4CoefficientTables& tables, const u8* scan, Store& store ) {
	const u16* const flat = tables.mFlat;
	for ( ;; ) {
		if ( reader.mValid < M4_TCOEF_WINDOW + 1 ) {
			reader.refill();
		}
		const u64 bits = reader.mCache;
		const u32 packed = flat[bits >> ( 64 - M4_TCOEF_WINDOW )];
		const u32 taken = packed >> M4_TCOEF_FLAT_LENGTH_SHIFT;
		if ( __builtin_expect( taken != 0, 1 ) ) {
			// The sign is the last bit taken.
			const s32 sign = static_cast<s32>( static_cast<s64>( bits << ( taken - 1 ) ) >> 63 );
			reader.consume( taken );
			position += ( packed >> M4_TCOEF_FLAT_RUN_SHIFT ) & M4_TCOEF_RUN_MASK;
			if ( __builtin_expect( position < M4_BLOCK_SIZE, 1 ) ) {
				store.plain( scan[position], static_cast<s32>( packed & M4_TCOEF_FLAT_LEVEL_MASK ), sign );
				position++;
			} else {
				position = M4_BLOCK_SIZE;
			}
			if ( ( packed & ( 1u << M4_TCOEF_FLAT_LAST_SHIFT ) ) != 0 ) {
				return;
			}
			continue;
		}
		if ( reader.mValid < M4_LONGEST_CODE ) {
			reader.refill();
		}
		u32					used = 0;
		const M4Coefficient	coefficient = M4ReadRareCoefficient( reader.mCache, tables, &used );
		reader.consume( used );
		if ( !coefficient.valid || M4StoreCoefficient( &position, coefficient, scan, store ) ) {
			return;
		}
	}
}

template<typename Store>
void M4DecodeBlock( M4Bitstream* bs, const u32 position, const M4CoefficientTables& tables, const u8* scan, Store& store ) {
	M4BitCache reader( bs );
	M4DecodeCodes( reader, position, tables, scan, store );
	M4BitstreamSeek( bs, static_cast<u32>( reader.position() ) );
}

bool M4BlockCoded( const u32 pattern, const u32 block ) {
	return ( pattern & ( 1u << ( M4_MB_BLOCKS - 1 - block ) ) ) != 0;
}

// The coded blocks of a macroblock through one register of bits.
template<typename Store>
void M4DecodeMacroBlock( M4Bitstream* bs, s16* blocks, const u32 pattern, const M4CoefficientTables& tables, const u8* scan, Store store ) {
	M4BitCache reader( bs );
	for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
		if ( !M4BlockCoded( pattern, b ) ) {
			continue;
		}
		store.start( blocks + b * M4_BLOCK_SIZE );
		M4DecodeCodes( reader, 0, tables, scan, store );
		store.finish();
	}
	M4BitstreamSeek( bs, static_cast<u32>( reader.position() ) );
}

// One code at a time through the frame's reader.
void M4DecodeBlockReference( M4Bitstream* bs, s16* block, u32 position, const M4CoefficientTables& tables, const u8* scan ) {
	M4StreamReader		reader { bs };
	const M4StoreLevel	store { block };
	for ( ;; ) {
		const M4Coefficient coefficient = M4ReadCoefficient( reader, tables );
		if ( !coefficient.valid || M4StoreCoefficient( &position, coefficient, scan, store ) ) {
			return;
		}
	}
}

} // namespace

void M4DecodeIntraBlock( M4Bitstream* bs, s16* block, const u32 first, const M4CoefficientTables& tables, const u8* scan ) {
	const M4StoreLevel store { block };
	M4DecodeBlock( bs, first, tables, scan, store );
}

void M4DecodeInterBlock( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan ) {
	const M4StoreLevel store { block };
	M4DecodeBlock( bs, 0, tables, scan, store );
}

void M4DecodeIntraBlockDequantised( M4Bitstream* bs, s16* levels, s16* out, const u32 first, const M4CoefficientTables& tables, const u8* scan, const M4Dequantiser& dequantiser ) {
	const u32 quantiser = dequantiser.mQuantiser;
	if ( quantiser == 0 || quantiser > M4_FUSED_QUANTISER_MAX ) {
		// No stream gets here: the parser keeps the quantiser in 1..31.
		M4DecodeIntraBlock( bs, levels, first, tables, scan );
		if ( dequantiser.mMpeg ) {
			M4InvQuantType1Intra( out, levels, quantiser, 0, dequantiser.mMatrix );
		} else {
			M4InvQuantType0IntraReference( out, levels, quantiser, 0 );
		}
		return;
	}
	const s32 q = static_cast<s32>( quantiser );
	if ( dequantiser.mMpeg ) {
		M4StoreBoth<M4StoreMpegIntra> store { levels, M4StoreMpegIntra { out, q, dequantiser.mMatrix } };
		M4DecodeBlock( bs, first, tables, scan, store );
	} else {
		M4StoreBoth<M4StoreH263> store { levels, M4StoreH263( out, q ) };
		M4DecodeBlock( bs, first, tables, scan, store );
	}
}

void M4DecodeInterMacroBlockDequantised( M4Bitstream* bs, s16* blocks, const u32 pattern, const M4CoefficientTables& tables, const u8* scan, const M4Dequantiser& dequantiser ) {
	const u32 quantiser = dequantiser.mQuantiser;
	if ( quantiser == 0 || quantiser > M4_FUSED_QUANTISER_MAX ) {
		// No stream gets here: the parser keeps the quantiser in 1..31.
		for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
			if ( !M4BlockCoded( pattern, b ) ) {
				continue;
			}
			s16 levels[M4_BLOCK_SIZE] = {};
			M4DecodeInterBlock( bs, levels, tables, scan );
			s16* const out = blocks + b * M4_BLOCK_SIZE;
			if ( dequantiser.mMpeg ) {
				M4InvQuantType1Inter( out, levels, quantiser, dequantiser.mMatrix );
			} else {
				M4InvQuantType0InterReference( out, levels, quantiser );
			}
		}
		return;
	}
	const s32 q = static_cast<s32>( quantiser );
	if ( dequantiser.mMpeg ) {
		M4DecodeMacroBlock( bs, blocks, pattern, tables, scan, M4StoreMpeg { nullptr, q, dequantiser.mMatrix, 0 } );
	} else {
		M4DecodeMacroBlock( bs, blocks, pattern, tables, scan, M4StoreH263( nullptr, q ) );
	}
}

void M4DecodeIntraBlockReference( M4Bitstream* bs, s16* block, const u32 first, const M4CoefficientTables& tables, const u8* scan ) {
	M4DecodeBlockReference( bs, block, first, tables, scan );
}

void M4DecodeInterBlockReference( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan ) {
	M4DecodeBlockReference( bs, block, 0, tables, scan );
}
