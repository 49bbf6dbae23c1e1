#include "framework/graphics/ApMorphAnimation.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Geometry lock bits of the arrays written here.
constexpr u32 LOCK_VERTICES			= 0x02;
constexpr u32 LOCK_NORMALS			= 0x04;
// Interpolator flag: the frame's objects are not updated on a reset.
constexpr s32 INTERPOLATOR_NO_FRAME_UPDATE = 0x04;

constexpr size_t ALIGNMENT			= 8;

// Carves the native records out of one block; measures only while the
// block is null.
class Carver {
public:
	explicit Carver( u8 * block ) : mpBlock( block ), muiUsed( 0 ) {}

	template< class T >
	T * Take( const size_t count ) {
		const size_t at = ( muiUsed + ALIGNMENT - 1 ) & ~( ALIGNMENT - 1 );
		muiUsed = at + count * sizeof( T );
		if ( mpBlock == nullptr || count == 0 ) {
			return nullptr;
		}
		return reinterpret_cast<T *>( mpBlock + at );
	}

	size_t Used() const { return muiUsed; }

private:
	u8 *		mpBlock;
	size_t		muiUsed;
};

// The stored block and the checks on it.
class Reader {
public:
	Reader( const u8 * block, const u32 size ) : mpBlock( block ), muiSize( size ) {}

	// True when [offset, offset + bytes) lies inside the block and offset
	// names something (is not 0).
	bool Inside( const u32 offset, const u64 bytes ) const {
		return offset != 0 && static_cast<u64>( offset ) + bytes <= muiSize;
	}
	u32 Word( const u32 offset ) const { return DTReadLE32( mpBlock + offset ); }
	u16 Half( const u32 offset ) const { return DTReadLE16( mpBlock + offset ); }
	f32 Real( const u32 offset ) const { return DTReadLEF32( mpBlock + offset ); }
	u8 Byte( const u32 offset ) const { return mpBlock[offset]; }
	RwV3d Vector( const u32 offset ) const { return { Real( offset ), Real( offset + 4 ), Real( offset + 8 ) }; }

private:
	const u8 *	mpBlock;
	u32			muiSize;
};

void ReadVectors( const Reader & reader, const u32 offset, const u32 count, RwV3d * out ) {
	for ( u32 i = 0; out != nullptr && i < count; i++ ) {
		out[i] = reader.Vector( offset + 12 * i );
	}
}

bool KeysWrap( const ApMorphAnimChannelEx & channel ) {
	if ( channel.uiNumKeys < 2 || channel.pKeys[0].fTime != 0.0f ) {
		return false;
	}
	for ( u32 k = 1; k < channel.uiNumKeys; k++ ) {
		if ( !( channel.pKeys[k].fTime > channel.pKeys[k - 1].fTime ) || !std::isfinite( channel.pKeys[k].fTime ) ) {
			return false;
		}
	}
	return true;
}

// Checks and, with a block, decodes one channel; null (and false) when
// it does not check.
bool DecodeChannel( const Reader & reader, const u32 offset, Carver & carver, ApMorphAnimChannelEx *& out ) {
	out = nullptr;
	if ( offset == 0 ) {
		return true;
	}
	if ( !reader.Inside( offset, AP_MORPH_CHANNEL_BYTES ) ) {
		return false;
	}
	const u32 keys = reader.Half( offset + 4 );
	const u32 animated = reader.Half( offset + 8 );
	const u32 arrays[3] = { reader.Word( offset + 16 ), reader.Word( offset + 20 ), reader.Word( offset + 24 ) };
	const u32 keysAt = reader.Word( offset + 28 );
	if ( keys == 0 || !reader.Inside( keysAt, static_cast<u64>( keys ) * AP_MORPH_KEY_BYTES ) ) {
		return false;
	}
	if ( animated != 0 ) {
		if ( !reader.Inside( reader.Word( offset + 12 ), 2ull * animated ) ) {
			return false;
		}
		for ( const u32 array : arrays ) {
			if ( !reader.Inside( array, 12ull * animated ) ) {
				return false;
			}
		}
	}
	for ( u32 k = 0; k < keys; k++ ) {
		const u32 key = keysAt + k * AP_MORPH_KEY_BYTES;
		const u32 next = reader.Word( key + 4 );
		if ( ( animated != 0 && !reader.Inside( reader.Word( key + 8 ), 12ull * animated ) ) ||
			 ( next != 0 && !reader.Inside( next, AP_MORPH_KEY_BYTES ) ) ) {
			return false;
		}
	}
	ApMorphAnimChannelEx * const channel = carver.Take<ApMorphAnimChannelEx>( 1 );
	u16 * const indices = carver.Take<u16>( animated );
	RwV3d * const vectors = carver.Take<RwV3d>( 3ull * animated );
	ApMorphKeyEx * const keyRecords = carver.Take<ApMorphKeyEx>( keys );
	RwV3d * const values = carver.Take<RwV3d>( static_cast<u64>( keys ) * animated );
	if ( channel == nullptr ) {
		return true;
	}
	channel->fTime = reader.Real( offset );
	channel->uiNumKeys = static_cast<u16>( keys );
	channel->uiNumAnimated = static_cast<u16>( animated );
	channel->pIndices = indices;
	channel->pSlopes = vectors;
	channel->pBases = vectors != nullptr ? vectors + animated : nullptr;
	channel->pOutputs = vectors != nullptr ? vectors + 2 * animated : nullptr;
	channel->pKeys = keyRecords;
	for ( u32 i = 0; i < animated; i++ ) {
		indices[i] = reader.Half( reader.Word( offset + 12 ) + 2 * i );
	}
	ReadVectors( reader, arrays[0], animated, channel->pSlopes );
	ReadVectors( reader, arrays[1], animated, channel->pBases );
	ReadVectors( reader, arrays[2], animated, channel->pOutputs );
	for ( u32 k = 0; k < keys; k++ ) {
		const u32 key = keysAt + k * AP_MORPH_KEY_BYTES;
		keyRecords[k].fTime = reader.Real( key );
		keyRecords[k].uiNext = reader.Word( key + 4 );
		keyRecords[k].pValues = values != nullptr ? values + static_cast<size_t>( k ) * animated : nullptr;
		ReadVectors( reader, reader.Word( key + 8 ), animated, keyRecords[k].pValues );
	}
	channel->bWraps = KeysWrap( *channel );
	const u16 current = reader.Half( offset + 6 );
	channel->uiCurrentKey = channel->bWraps && current + 1u < keys ? current : 0;
	out = channel;
	return true;
}

// Checks, and with a block decodes, the whole animation.
bool Decode( const Reader & reader, const u32 size, Carver & carver, ApMorphAnimationEx *& out ) {
	out = nullptr;
	if ( size < AP_MORPH_HEADER_BYTES ) {
		return false;
	}
	const u32 table = reader.Word( 0 );
	const u32 count = reader.Byte( 4 );
	if ( count != 0 && !reader.Inside( table, 4ull * count ) ) {
		return false;
	}
	ApMorphAnimationEx * const animation = carver.Take<ApMorphAnimationEx>( 1 );
	ApMorphAtomicEx ** const atomics = carver.Take<ApMorphAtomicEx *>( count );
	for ( u32 i = 0; i < count; i++ ) {
		const u32 record = reader.Word( table + 4 * i );
		if ( atomics != nullptr ) {
			atomics[i] = nullptr;
		}
		if ( record == 0 ) {
			continue;
		}
		if ( !reader.Inside( record, AP_MORPH_RECORD_BYTES ) ) {
			return false;
		}
		ApMorphAtomicEx * const entry = carver.Take<ApMorphAtomicEx>( 1 );
		ApMorphAnimChannelEx * vertex = nullptr;
		ApMorphAnimChannelEx * normal = nullptr;
		if ( !DecodeChannel( reader, reader.Word( record ), carver, vertex ) ||
			 !DecodeChannel( reader, reader.Word( record + 4 ), carver, normal ) ) {
			return false;
		}
		if ( entry != nullptr ) {
			*entry = { vertex, normal, reader.Word( record + 8 ) };
			atomics[i] = entry;
		}
	}
	if ( animation != nullptr ) {
		animation->uiNumAtomics = count;
		animation->uiVersion = reader.Word( 8 );
		animation->uiGroup = reader.Byte( 12 );
		animation->ppAtomics = atomics;
		out = animation;
	}
	return true;
}

// Channel behaviour.

void RecomputeSlopes( ApMorphAnimChannelEx & channel ) {
	const u32 key = channel.uiCurrentKey;
	const bool moving = channel.bWraps && key + 1u < channel.uiNumKeys;
	for ( u32 i = 0; i < channel.uiNumAnimated; i++ ) {
		if ( !moving ) {
			channel.pSlopes[i] = { 0.0f, 0.0f, 0.0f };
			continue;
		}
		const ApMorphKeyEx & from = channel.pKeys[key];
		const ApMorphKeyEx & to = channel.pKeys[key + 1];
		const f32 span = to.fTime - from.fTime;
		channel.pSlopes[i] = { ( to.pValues[i].x - from.pValues[i].x ) / span, ( to.pValues[i].y - from.pValues[i].y ) / span,
							   ( to.pValues[i].z - from.pValues[i].z ) / span };
	}
}

void UpdateChannel( ApMorphAnimChannelEx & channel, const bool normals ) {
	const ApMorphKeyEx & key = channel.pKeys[channel.uiCurrentKey];
	const f32 t = channel.bWraps ? channel.fTime - key.fTime : 0.0f;
	for ( u32 i = 0; i < channel.uiNumAnimated; i++ ) {
		RwV3d out = { key.pValues[i].x + channel.pSlopes[i].x * t, key.pValues[i].y + channel.pSlopes[i].y * t,
					  key.pValues[i].z + channel.pSlopes[i].z * t };
		if ( normals ) {
			out = { out.x + channel.pBases[i].x, out.y + channel.pBases[i].y, out.z + channel.pBases[i].z };
			const f32 length = std::sqrt( out.x * out.x + out.y * out.y + out.z * out.z );
			if ( length > 0.0f ) {
				out = { out.x / length, out.y / length, out.z / length };
			}
		}
		channel.pOutputs[i] = out;
	}
}

void AddChannelTime( ApMorphAnimChannelEx & channel, const f32 dt ) {
	channel.fTime += dt;
	if ( !channel.bWraps ) {
		return;
	}
	const u32 last = channel.uiNumKeys - 1u;
	const f32 period = channel.pKeys[last].fTime;
	if ( !std::isfinite( channel.fTime ) ) {
		channel.fTime = channel.pKeys[channel.uiCurrentKey].fTime;
	}
	// Far outside one period: bring the time in at once, so that no walk
	// below takes more than a few passes over the keys.
	if ( channel.fTime < -period || channel.fTime >= 2.0f * period ) {
		channel.fTime = std::fmod( channel.fTime, period );
		if ( channel.fTime < 0.0f ) {
			channel.fTime += period;
		}
	}
	const u32 start = channel.uiCurrentKey;
	u32 key = start;
	u32 steps = 4 * channel.uiNumKeys + 4;
	while ( steps > 0 && channel.fTime < channel.pKeys[key].fTime ) {
		steps--;
		if ( key == 0 ) {
			key = last;
			channel.fTime += period;
		} else {
			key--;
		}
	}
	while ( steps > 0 && key < last && channel.fTime > channel.pKeys[key + 1].fTime ) {
		steps--;
		key++;
		if ( key == last ) {
			channel.fTime -= period;
			key = 0;
		}
	}
	channel.uiCurrentKey = static_cast<u16>( key );
	if ( key != start ) {
		RecomputeSlopes( channel );
	}
}

void InitChannel( ApMorphAnimChannelEx * channel, const bool normals ) {
	if ( channel == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < channel->uiNumAnimated; i++ ) {
		if ( normals ) {
			channel->pBases[i] = channel->pOutputs[i];
		} else {
			channel->pOutputs[i] = { 0.0f, 0.0f, 0.0f };
		}
	}
	channel->uiCurrentKey = 0;
	channel->fTime = channel->pKeys[0].fTime;
	RecomputeSlopes( *channel );
	UpdateChannel( *channel, normals );
}

void StepChannels( ApMorphAnimationEx * animation, const bool absolute, const f32 value ) {
	if ( animation == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < animation->uiNumAtomics; i++ ) {
		const ApMorphAtomicEx * const record = animation->ppAtomics[i];
		if ( record == nullptr ) {
			continue;
		}
		const std::pair<ApMorphAnimChannelEx *, bool> channels[] = { { record->pVertex, false }, { record->pNormal, true } };
		for ( const auto & [channel, normals] : channels ) {
			if ( channel != nullptr ) {
				AddChannelTime( *channel, absolute ? value - channel->fTime : value );
				UpdateChannel( *channel, normals );
			}
		}
	}
}

// Clump side.

typedef void ( *AtomicVisit )( RpAtomic * atomic, const ApMorphAtomicEx & record, void * data );

// Calls visit for the atomics that have a record with a vertex channel,
// walking the clump and the table side by side.
void ForRecordedAtomics( RpClump * clump, ApMorphAnimationEx * animation, const AtomicVisit visit, void * data ) {
	if ( clump == nullptr || animation == nullptr ) {
		return;
	}
	struct Walk {
		ApMorphAnimationEx *	animation;
		AtomicVisit				visit;
		void *					data;
		u32						index;
	} walk = { animation, visit, data, 0 };
	RpClumpForAllAtomics(
		clump,
		[]( RpAtomic * atomic, void * state ) -> RpAtomic * {
			Walk * const w = static_cast<Walk *>( state );
			if ( w->index >= w->animation->uiNumAtomics ) {
				return nullptr;
			}
			const ApMorphAtomicEx * const record = w->animation->ppAtomics[w->index++];
			if ( record != nullptr && record->pVertex != nullptr ) {
				w->visit( atomic, *record, w->data );
			}
			return atomic;
		},
		&walk );
}

// The atomic's geometry and its two private targets, when it has them.
struct Targets {
	RpGeometry *		geometry;
	RpMorphTarget *		own;		// the geometry's first morph target
	RpMorphTarget *		base;		// private target 0
	RpMorphTarget *		snapshot;	// private target 1
	u32					vertices;
};

bool GetTargets( RpAtomic * atomic, Targets & out ) {
	out.geometry = atomic->geometry;
	out.base = ApAtomicGetMorphTarget( atomic, 0 );
	out.snapshot = ApAtomicGetMorphTarget( atomic, 1 );
	if ( out.geometry == nullptr || out.base == nullptr || out.geometry->morphTarget == nullptr ||
		 out.geometry->numMorphTargets < 1 || out.geometry->numVertices < 0 || out.base->parentGeom != out.geometry ) {
		return false;
	}
	out.own = out.geometry->morphTarget;
	out.vertices = static_cast<u32>( out.geometry->numVertices );
	return out.own->verts != nullptr;
}

void CopyTarget( const RpMorphTarget & from, RpMorphTarget & to, const u32 vertices ) {
	std::memcpy( to.verts, from.verts, vertices * sizeof( RwV3d ) );
	if ( from.normals != nullptr && to.normals != nullptr ) {
		std::memcpy( to.normals, from.normals, vertices * sizeof( RwV3d ) );
	}
}

void WriteAnimated( const Targets & targets, const ApMorphAtomicEx & record, const bool normals ) {
	const ApMorphAnimChannelEx & vertex = *record.pVertex;
	for ( u32 k = 0; k < vertex.uiNumAnimated; k++ ) {
		const u32 index = vertex.pIndices[k];
		if ( index < targets.vertices ) {
			const RwV3d & base = targets.base->verts[index];
			targets.own->verts[index] = { base.x + vertex.pOutputs[k].x, base.y + vertex.pOutputs[k].y,
										  base.z + vertex.pOutputs[k].z };
		}
	}
	if ( !normals || record.pNormal == nullptr || targets.own->normals == nullptr ) {
		return;
	}
	const ApMorphAnimChannelEx & normal = *record.pNormal;
	for ( u32 k = 0; k < normal.uiNumAnimated; k++ ) {
		if ( normal.pIndices[k] < targets.vertices ) {
			targets.own->normals[normal.pIndices[k]] = normal.pOutputs[k];
		}
	}
}

u32 LockMode( const Targets & targets, const bool normals ) {
	return LOCK_VERTICES | ( normals && targets.own->normals != nullptr ? LOCK_NORMALS : 0 );
}

}

s32 ApMorphAnimationStreamRead( RwStream * stream, ApMorphAnimationEx ** animation ) {
	if ( animation == nullptr ) {
		return 0;
	}
	*animation = nullptr;
	u32 size = 0;
	if ( stream == nullptr || !RwStreamFindChunk( stream, AP_MORPH_ANIMATION_CHUNK, &size, nullptr ) ) {
		return 1;
	}
	u32 left = 0;
	if ( size == 0 || ( _rwStreamBytesLeft( stream, &left ) && size > left ) ) {
		return 1;
	}
	u8 * const block = new ( std::nothrow ) u8[size];
	if ( block == nullptr ) {
		return 1;
	}
	const u32 read = RwStreamRead( stream, block, size );
	if ( read == size ) {
		*animation = ApMorphAnimationDecode( block, size );
	}
	delete[] block;
	return read == size ? 1 : 0;
}

ApMorphAnimationEx * ApMorphAnimationDecode( const u8 * block, const u32 size ) {
	if ( block == nullptr ) {
		return nullptr;
	}
	const Reader reader( block, size );
	Carver measure( nullptr );
	ApMorphAnimationEx * animation = nullptr;
	if ( !Decode( reader, size, measure, animation ) ) {
		return nullptr;
	}
	u8 * const storage = new ( std::nothrow ) u8[measure.Used()];
	if ( storage == nullptr ) {
		return nullptr;
	}
	Carver fill( storage );
	Decode( reader, size, fill, animation );
	animation->pStorage = storage;
	return animation;
}

void ApMorphAnimationInit( RpClump * clump, ApMorphAnimationEx * animation ) {
	if ( animation == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < animation->uiNumAtomics; i++ ) {
		if ( const ApMorphAtomicEx * const record = animation->ppAtomics[i] ) {
			InitChannel( record->pVertex, false );
			InitChannel( record->pNormal, true );
		}
	}
	ForRecordedAtomics(
		clump, animation,
		[]( RpAtomic * atomic, const ApMorphAtomicEx &, void * ) {
			RpGeometry * const geometry = atomic->geometry;
			if ( geometry == nullptr || geometry->numMorphTargets >= 2 ) {
				return;
			}
			const bool fresh = ApAtomicGetMorphTarget( atomic, 0 ) == nullptr;
			if ( ApAtomicCreateMorphTargets( atomic ) == nullptr ) {
				return;
			}
			Targets targets;
			if ( fresh && GetTargets( atomic, targets ) ) {
				CopyTarget( *targets.own, *targets.base, targets.vertices );
				CopyTarget( *targets.own, *targets.snapshot, targets.vertices );
			}
			atomic->interpolator.startMorphTarget = 0;
			atomic->interpolator.endMorphTarget = 0;
			atomic->interpolator.flags |= rpINTERPOLATORDIRTYINSTANCE | rpINTERPOLATORDIRTYSPHERE;
			if ( ( atomic->interpolator.flags & INTERPOLATOR_NO_FRAME_UPDATE ) == 0 ) {
				if ( RwFrame * const frame = RpAtomicGetFrame( atomic ) ) {
					RwFrameUpdateObjects( frame );
				}
			}
		},
		nullptr );
	ApMorphAnimationSetTime( animation, 0.0f );
}

void ApMorphAnimationSetTime( ApMorphAnimationEx * animation, const f32 time ) {
	StepChannels( animation, true, time );
}

void ApMorphAnimationAddTime( ApMorphAnimationEx * animation, const f32 dt ) {
	StepChannels( animation, false, dt );
}

void ApMorphAnimationSetGeometry( RpClump * clump, ApMorphAnimationEx * animation, const s32 restore ) {
	ForRecordedAtomics(
		clump, animation,
		[]( RpAtomic * atomic, const ApMorphAtomicEx & record, void * data ) {
			Targets targets;
			if ( !GetTargets( atomic, targets ) ) {
				return;
			}
			RpGeometryLock( targets.geometry, LockMode( targets, true ) );
			if ( *static_cast<const s32 *>( data ) == 0 ) {
				WriteAnimated( targets, record, true );
			} else {
				CopyTarget( *targets.base, *targets.own, targets.vertices );
			}
			RpGeometryUnlock( targets.geometry );
		},
		const_cast<s32 *>( &restore ) );
}

void ApMorphAnimationInitBlend( RpClump * clump, ApMorphAnimationEx * animation ) {
	ForRecordedAtomics(
		clump, animation,
		[]( RpAtomic * atomic, const ApMorphAtomicEx &, void * ) {
			Targets targets;
			if ( GetTargets( atomic, targets ) ) {
				CopyTarget( *targets.own, *targets.snapshot, targets.vertices );
			}
		},
		nullptr );
}

void ApMorphAnimationBlend( RpClump * clump, ApMorphAnimationEx * animation, const f32 factor ) {
	ForRecordedAtomics(
		clump, animation,
		[]( RpAtomic * atomic, const ApMorphAtomicEx & record, void * data ) {
			const f32 f = *static_cast<const f32 *>( data );
			Targets targets;
			if ( !GetTargets( atomic, targets ) ) {
				return;
			}
			RpGeometryLock( targets.geometry, LockMode( targets, false ) );
			WriteAnimated( targets, record, false );
			for ( u32 v = 0; v < targets.vertices; v++ ) {
				const RwV3d & from = targets.snapshot->verts[v];
				RwV3d & at = targets.own->verts[v];
				at = { from.x + ( at.x - from.x ) * f, from.y + ( at.y - from.y ) * f, from.z + ( at.z - from.z ) * f };
			}
			RpGeometryUnlock( targets.geometry );
		},
		const_cast<f32 *>( &factor ) );
}

f32 ApMorphAnimationGetDuration( ApMorphAnimationEx * animation ) {
	if ( animation == nullptr || animation->uiNumAtomics == 0 || animation->ppAtomics[0] == nullptr ||
		 animation->ppAtomics[0]->pVertex == nullptr ) {
		return 0.0f;
	}
	const ApMorphAnimChannelEx & channel = *animation->ppAtomics[0]->pVertex;
	return channel.pKeys[channel.uiNumKeys - 1].fTime - channel.pKeys[0].fTime;
}

void ApMorphAnimationDestroy( ApMorphAnimationEx * animation ) {
	if ( animation != nullptr ) {
		delete[] static_cast<u8 *>( animation->pStorage );
	}
}
