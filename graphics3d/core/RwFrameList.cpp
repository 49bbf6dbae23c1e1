#include "graphics3d/core/RwFrameList.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStreamData.h"

#include "datatypes/base/DTByteOrder.h"

// Limits under which a read matrix counts as orthonormal.
static const f32 READ_NORMAL_TOLERANCE		= 0.01f;
static const f32 READ_ORTHOGONAL_TOLERANCE	= 0.01f;
static const f32 READ_MIN_DETERMINANT		= 0.99f;

// Byte offsets in a frame record.
static const u32 RECORD_RIGHT	= 0;
static const u32 RECORD_UP		= 12;
static const u32 RECORD_AT		= 24;
static const u32 RECORD_POS		= 36;
static const u32 RECORD_PARENT	= 48;

// The list under construction: frames made so far and their array.
struct FrameListBuild {
	RwFrame**	frames;
	u32			made;
};

static RwV3d ReadVector( const u8* p ) {
	return RwV3d{ DTReadLEF32( p ), DTReadLEF32( p + 4 ), DTReadLEF32( p + 8 ) };
}

// Children have higher indices than their parents, so destroying from the
// last frame back leaves every frame childless when its turn comes.
static RwFrameList* Abandon( FrameListBuild* build, RwFrameList* frameList ) {
	while ( build->made > 0 ) {
		RwFrameDestroy( build->frames[--build->made] );
	}
	if ( build->frames != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( build->frames );
	}
	frameList->frames = nullptr;
	frameList->numFrames = 0;
	return nullptr;
}

static void SetReadFlags( RwMatrix* matrix ) {
	const bool orthonormal = _rwMatrixNormalError( matrix ) <= READ_NORMAL_TOLERANCE &&
							 _rwMatrixOrthogonalError( matrix ) <= READ_ORTHOGONAL_TOLERANCE &&
							 _rwMatrixDeterminant( matrix ) >= READ_MIN_DETERMINANT;
	matrix->flags &= orthonormal ? ~rwMATRIXINTERNALIDENTITY : ~rwMATRIXIDENTITYFLAGS;
}

// Reads record index into a new frame and links it to its parent.
static bool ReadRecord( RwStream* stream, FrameListBuild* build, const u32 index ) {
	u8 record[RWFRAMELIST_RECORD_BYTES];
	if ( RwStreamRead( stream, record, RWFRAMELIST_RECORD_BYTES ) != RWFRAMELIST_RECORD_BYTES ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	const s32 parentIndex = DTReadLES32( record + RECORD_PARENT );
	if ( parentIndex >= 0 && static_cast<u32>( parentIndex ) >= index ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	RwFrame* const frame = RwFrameCreate();
	if ( frame == nullptr ) {
		return false;
	}
	build->frames[index] = frame;
	build->made = index + 1;
	RwMatrix* const modelling = &frame->modelling;
	modelling->right = ReadVector( record + RECORD_RIGHT );
	modelling->up = ReadVector( record + RECORD_UP );
	modelling->at = ReadVector( record + RECORD_AT );
	modelling->pos = ReadVector( record + RECORD_POS );
	SetReadFlags( modelling );
	if ( parentIndex >= 0 ) {
		RwFrameAddChild( build->frames[parentIndex], frame );
	}
	return true;
}

RwFrameList* _rwFrameListStreamRead( RwStream* stream, RwFrameList* frameList ) {
	frameList->frames = nullptr;
	frameList->numFrames = 0;
	FrameListBuild build = { nullptr, 0 };
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return nullptr;
	}
	u32 count = 0;
	if ( RwStreamReadInt32( stream, &count, sizeof( count ) ) == nullptr ) {
		return nullptr;
	}
	// The count is believed only as far as the payload holds its records.
	const u64 needed = sizeof( count ) + static_cast<u64>( count ) * RWFRAMELIST_RECORD_BYTES;
	if ( needed > length ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return nullptr;
	}
	if ( count != 0 ) {
		const u64 bytes = static_cast<u64>( count ) * sizeof( RwFrame* );
		build.frames = bytes <= 0xFFFFFFFFu
						   ? static_cast<RwFrame**>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) )
						   : nullptr;
		if ( build.frames == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
			return nullptr;
		}
	}
	for ( u32 i = 0; i < count; i++ ) {
		if ( !ReadRecord( stream, &build, i ) ) {
			return Abandon( &build, frameList );
		}
	}
	// Bytes of the struct payload past the records belong to nobody.
	if ( needed < length && RwStreamSkip( stream, static_cast<u32>( length - needed ) ) == nullptr ) {
		return Abandon( &build, frameList );
	}
	for ( u32 i = 0; i < count; i++ ) {
		if ( _rwPluginRegistryReadDataChunks( &frameTKList, stream, build.frames[i] ) == nullptr ) {
			return Abandon( &build, frameList );
		}
	}
	frameList->frames = build.frames;
	frameList->numFrames = static_cast<s32>( count );
	return frameList;
}

RwFrameList* _rwFrameListDeinitialize( RwFrameList* frameList ) {
	if ( frameList->frames != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( frameList->frames );
	}
	frameList->frames = nullptr;
	return frameList;
}
