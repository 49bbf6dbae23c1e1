#include "framework/physics/EFCollisionMap.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTIOStream.h"
#include "framework/physics/EFCollisionMapCheck.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>

DT_IMPLEMENT_DYNAMIC_CLASS( EFCollisionMap, "EF_COLLISION_MAP", EF_COLLISION_MAP_CLASS_ID, IT_OBJECT );

namespace {

// Below this magnitude a ray's displacement component counts as flat.
constexpr f32 kFlat				= 0.0078125f;
constexpr u32 kHeaderSize		= 16;
constexpr u32 kAttribSize		= 32;
constexpr u32 kPrimHeaderSize	= 28;

// Set while a sphere or ray query runs: the marks make queries non-reentrant.
bool gQueryRunning = false;

struct QueryGuard {
	QueryGuard() {
		assert( !gQueryRunning && "a collision-map query started while another runs" );
		gQueryRunning = true;
	}
	~QueryGuard() { gQueryRunning = false; }
};

bool IsFlat( const f32 v ) {
	return std::fabs( v ) < kFlat;
}

f32 Axis( const DTVector3d & v, const u32 a ) {
	return a == 0 ? v.x : ( a == 1 ? v.y : v.z );
}

// Swaps the big-endian 32-bit word at p to native order.
void Native32( u8 * p ) {
	const u32 v = DTReadBE32( p );
	std::memcpy( p, &v, 4 );
}

void Native16( u8 * p ) {
	const u16 v = DTReadBE16( p );
	std::memcpy( p, &v, 2 );
}

// Decodes each node to native order on the way down (pre-order, so the
// children's offsets are native before the visit reaches them).
class EFBaseAdressRecalc : public EFCollisionMap::EFOctreeNodeVisitor {
public:
	void Node( EFOctreeNodeHeader & node ) override {
		u8 * const p = reinterpret_cast<u8 *>( &node );
		for ( u32 i = 0; i < 7; i++ ) {
			Native32( p + 4 * i );
		}
		if ( node.IsLeaf() ) {
			Native32( p + 28 );
			const u32 count = reinterpret_cast<EFOctreeNodeEnd &>( node ).ui32Count;
			for ( u32 i = 0; i < count; i++ ) {
				Native32( p + EF_OCTREE_LEAF_SIZE + 4 * i );
			}
		} else {
			for ( u32 i = 0; i < 8; i++ ) {
				Native32( p + 28 + 4 * i );
			}
		}
	}
};

}	// namespace

s32 EFCollisionMap::GetClassID() const {
	return EF_COLLISION_MAP_CLASS_ID;
}

const char * EFCollisionMap::GetClassName() const {
	return "EF_COLLISION_MAP";
}

EFCollisionMap::EFCollisionMap()
	: mpoNextMap( nullptr ), mpBlob( nullptr ), mpDataBase( nullptr ), mpoRoot( nullptr ), mpoFirstPrim( nullptr ),
	  mbFixedUp( false ), mbRegistered( false ), mbTLowered( false ) {
}

EFCollisionMap::~EFCollisionMap() {
	MMFree( mpBlob );
}

bool EFCollisionMap::IsOwnedElsewhere() const {
	return mbRegistered;
}

u32 EFCollisionMap::GetBlobSize() const {
	u32 size = 0;
	if ( mpBlob != nullptr ) {
		std::memcpy( &size, mpBlob, 4 );
	}
	return size;
}

s32 EFCollisionMap::LoadBlob( DTBasePersistStream & stream, const u32 size ) {
	if ( mpBlob != nullptr || size < kHeaderSize || ( size & 3 ) != 0 || size - 4 > stream.GetBytesLeft() ) {
		DTPrintf( "EF_COLLISION_MAP: BAD BLOB SIZE %u!!!\n", static_cast<unsigned>( size ) );
		return DT_PERSIST_READ_PAST_END;
	}
	u8 * const blob = static_cast<u8 *>( MMMalloc( size ) );
	if ( blob == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	DTWriteBE32( blob, size );
	const s32 read = stream.LoadBinaryData( reinterpret_cast<char *>( blob + 4 ), static_cast<s32>( size - 4 ) );
	if ( read != DT_PERSIST_OK ) {
		MMFree( blob );
		return read;
	}
	if ( !Init( blob ) ) {
		MMFree( blob );
		return DT_PERSIST_READ_PAST_END;
	}
	EFPhysicMgr::moPhysicMgr.AddMap( this );
	mbRegistered = true;
	return DT_PERSIST_OK;
}

s32 EFCollisionMap::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 unused = 0;
	u32 size = 0;
	s32 code = stream.LoadData( unused );
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( unused );
	}
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( size );
	}
	return code != DT_PERSIST_OK ? code : LoadBlob( stream, size );
}

s32 EFCollisionMap::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 unused = 0;
	s32 code = stream.LoadData( unused );
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( unused );
	}
	if ( code != DT_PERSIST_OK ) {
		return code;
	}
	// One byte beyond the longest name, so the name always ends inside.
	char * const name = static_cast<char *>( MMCalloc( EF_COLLISION_MAP_NAME_MAX + 1, 1 ) );
	if ( name == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	stream.LoadTextData( name, EF_COLLISION_MAP_NAME_MAX );
	DTIOStream file;
	if ( file.OpenInputStream( name, DT_IO_STREAM_MODE_BINARY ) != DT_PERSIST_OK ) {
		DTPrintf( "File not found == %s!!!!\n", name );
		MMFree( name );
		return DT_PERSIST_OPEN_FAILED;
	}
	MMFree( name );
	u32 size = 0;
	code = file.GetInStream()->LoadData( size );
	if ( code == DT_PERSIST_OK ) {
		code = LoadBlob( *file.GetInStream(), size );
	}
	file.CloseAll();
	return code;
}

bool EFCollisionMap::Validate( const u8 * image, const u32 size, char * message, const u32 messageSize ) {
	u32 * const scratch = static_cast<u32 *>( MMCalloc( EFCollisionMapCheck::GetScratchWords( size ), 4 ) );
	if ( scratch == nullptr ) {
		if ( message != nullptr && messageSize > 0 ) {
			std::snprintf( message, messageSize, "collision map: no memory for the check" );
		}
		return false;
	}
	const bool sound = EFCollisionMapCheck::Run( image, size, scratch, message, messageSize );
	MMFree( scratch );
	return sound;
}

bool EFCollisionMap::Init( u8 * blob ) {
	if ( mbFixedUp ) {
		return blob == mpBlob;
	}
	if ( blob == nullptr ) {
		return false;
	}
	const u32 size = DTReadBE32( blob );
	char message[128];
	if ( !Validate( blob, size, message, sizeof( message ) ) ) {
		DTPrintf( "%s\n", message );
		return false;
	}
	for ( u32 i = 0; i < 4; i++ ) {
		Native32( blob + 4 * i );
	}
	mpBlob = blob;
	mpDataBase = blob + kHeaderSize;
	const u32 * const header = reinterpret_cast<const u32 *>( blob );
	mpoRoot = reinterpret_cast<EFOctreeNodeHeader *>( mpDataBase + header[3] );
	mpoFirstPrim = reinterpret_cast<EFEnvCollisionPrim *>( mpDataBase + header[2] );
	// Attribute records: words, except the u16 pair at 20/22.
	for ( u8 * at = mpDataBase; at < reinterpret_cast<u8 *>( mpoRoot ); at += kAttribSize ) {
		for ( u32 w = 0; w < 8; w++ ) {
			if ( w == 5 ) {
				Native16( at + 20 );
				Native16( at + 22 );
			} else {
				Native32( at + 4 * w );
			}
		}
	}
	EFBaseAdressRecalc recalc;
	VisitOctree( *mpoRoot, recalc );
	const u8 * const end = blob + size;
	for ( u8 * at = reinterpret_cast<u8 *>( mpoFirstPrim ); at < end; ) {
		Native32( at );
		Native16( at + 4 );
		Native16( at + 6 );
		EFEnvCollisionPrim * const prim = reinterpret_cast<EFEnvCollisionPrim *>( at );
		const u32 n = prim->mui16NbVertex;
		for ( u32 w = 3; w < 7 + 7 * n; w++ ) {
			Native32( at + 4 * w );
		}
		const u8 * const attribs = mpDataBase + kAttribSize * prim->mui32Attributes;
		prim->mui32Attributes = static_cast<u32>( static_cast<s32>( attribs - at ) );
		prim->mui32CheckCount = 0;
		at += kPrimHeaderSize + 28 * n;
	}
	mbFixedUp = true;
	return true;
}

void EFCollisionMap::VisitOctree( EFOctreeNodeHeader & node, EFOctreeNodeVisitor & visitor ) {
	visitor.Node( node );
	if ( node.IsLeaf() ) {
		return;
	}
	for ( u32 i = 0; i < 8; i++ ) {
		EFOctreeNodeHeader * const child = GetChild( node, i );
		if ( child != nullptr ) {
			VisitOctree( *child, visitor );
		}
	}
}

EFOctreeNodeHeader * EFCollisionMap::GetChild( const EFOctreeNodeHeader & node, const u32 index ) const {
	const u32 offset = node.GetChildOffsets()[index];
	return offset == 0 ? nullptr
					   : reinterpret_cast<EFOctreeNodeHeader *>( reinterpret_cast<u8 *>( mpoRoot ) + offset );
}

EFEnvCollisionPrim * EFCollisionMap::GetEntry( const EFOctreeNodeEnd & leaf, const u32 index ) const {
	return reinterpret_cast<EFEnvCollisionPrim *>( mpDataBase + leaf.GetEntryOffsets()[index] );
}

u32 EFCollisionMap::GetPrimitivesInSphere( EFGetPrimitivesInSphereData * query ) {
	if ( mpoRoot == nullptr || query == nullptr ) {
		return 0;
	}
	QueryGuard guard;
	return GetPrimitivesInSphereForOctreeNode( *mpoRoot, *query );
}

u32 EFCollisionMap::GetPrimitivesInSphereForOctreeNode( EFOctreeNodeHeader & node,
														EFGetPrimitivesInSphereData & query ) {
	const DTVector3d & s = query.oSphere.moPos;
	const f32 r = query.oSphere.mfRadius;
	f32 e[3];
	for ( u32 a = 0; a < 3; a++ ) {
		e[a] = std::fabs( Axis( s, a ) - Axis( node.oCentre, a ) ) - Axis( node.oHalfSize, a );
		if ( e[a] < 0.0f ) {
			e[a] = 0.0f;
		} else if ( e[a] > r ) {
			return 0;
		}
	}
	if ( e[0] * e[0] + e[1] * e[1] + e[2] * e[2] > r * r ) {
		return 0;
	}
	if ( node.IsLeaf() ) {
		return GetPrimitivesInSphereForOctreeLeaf( reinterpret_cast<EFOctreeNodeEnd &>( node ), query );
	}
	static const u32 kSplit[3] = { EF_OCTREE_SPLIT_X, EF_OCTREE_SPLIT_Y, EF_OCTREE_SPLIT_Z };
	static const u32 kHigh[3] = { 0xAA, 0xCC, 0xF0 };
	static const u32 kLow[3] = { 0x55, 0x33, 0x0F };
	u32 mask = 0xFF;
	for ( u32 a = 0; a < 3; a++ ) {
		if ( ( node.ui32Flags & kSplit[a] ) == 0 ) {
			mask &= kLow[a];
			continue;
		}
		const f32 d = Axis( s, a ) - Axis( node.oCentre, a );
		if ( d > r ) {
			mask &= kHigh[a];
		} else if ( d < -r ) {
			mask &= kLow[a];
		}
	}
	u32 found = 0;
	for ( u32 i = 0; i < 8 && mask != 0; i++ ) {
		EFOctreeNodeHeader * const child = ( mask & ( 1u << i ) ) != 0 ? GetChild( node, i ) : nullptr;
		if ( child != nullptr ) {
			found += GetPrimitivesInSphereForOctreeNode( *child, query );
		}
	}
	return found;
}

u32 EFCollisionMap::GetPrimitivesInSphereForOctreeLeaf( EFOctreeNodeEnd & leaf, EFGetPrimitivesInSphereData & query ) {
	u32 capacity = query.ui32Capacity;
	if ( capacity == 0 ) {
		return 0;
	}
	EFEnvCollisionPrim ** cursor = query.ppoOutput;
	const u32 mark = EFPhysicMgr::msui32GetPrimCount;
	const DTVector3d & s = query.oSphere.moPos;
	const f32 r = query.oSphere.mfRadius;
	u32 found = 0;
	for ( u32 i = 0; i < leaf.ui32Count; i++ ) {
		EFEnvCollisionPrim * const prim = GetEntry( leaf, i );
		if ( prim->mui32CheckCount == mark ) {
			continue;
		}
		prim->mui32CheckCount = mark;
		const f32 h = prim->moPlane.moNormal * s + prim->moPlane.mfD;
		if ( std::fabs( h ) > r ) {
			continue;
		}
		const u32 n = prim->mui16NbVertex & 0x7FFF;
		const EFEnvCollisionPrim::Plane * const edges = prim->GetEdges();
		f32 best = -100000.0f;
		u32 k = 0;
		bool outside = false;
		for ( u32 j = 0; j < n; j++ ) {
			const f32 e = edges[j].moNormal * s + edges[j].mfD;
			if ( e > best ) {
				if ( e > r ) {
					outside = true;
					break;
				}
				best = e;
				k = j;
			}
		}
		if ( outside ) {
			continue;
		}
		if ( best > 0.0f ) {
			if ( best * best + h * h > r * r ) {
				continue;
			}
			const DTVector3d & a = prim->GetVertex()[k];
			const DTVector3d & b = prim->GetVertex()[( k + 1 ) % n];
			const DTVector3d edge = b - a;
			const DTVector3d w = s - a;
			const f32 along = edge * w;
			if ( along < 0.0f ) {
				if ( w * w > r * r ) {
					continue;
				}
			} else if ( along > edge * edge ) {
				const DTVector3d past = w - edge;
				if ( past * past > r * r ) {
					continue;
				}
			}
		}
		const EnvPrimAttribs * const attribs = prim->GetAttribs();
		if ( ( attribs->ui32DetectedBy & query.ui32DetectType ) == 0 &&
			 ( attribs->ui32UDDetectedBy & query.ui32UDDetectType ) == 0 ) {
			continue;
		}
		*cursor++ = prim;
		found++;
		if ( --capacity == 0 ) {
			break;
		}
	}
	query.ppoOutput = cursor;
	query.ui32Capacity = capacity;
	return found;
}

RayIntersectResult EFCollisionMap::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	if ( mpoRoot == nullptr ) {
		return PS_RAY_NONE;
	}
	QueryGuard guard;
	mbTLowered = false;
	RayIntersect( *mpoRoot, in, out, t );
	if ( out.poListener != nullptr || t == -1.0f ) {
		return PS_RAY_MANY;
	}
	return mbTLowered ? PS_RAY_ENV : PS_RAY_NONE;
}

bool EFCollisionMap::RayIntersect( EFOctreeNodeHeader & node, const RayIntersectIn & in, EFRayIntersectOut & out,
								   f32 & t ) {
	u32 child = 0;
	f32 exit = 2.0f;
	if ( !FindFirstChild( node, in, child, exit ) ) {
		return false;
	}
	if ( node.IsLeaf() ) {
		return RayIntersectNodeEnd( reinterpret_cast<EFOctreeNodeEnd &>( node ), in, out, t, exit );
	}
	do {
		EFOctreeNodeHeader * const next = GetChild( node, child );
		if ( next != nullptr && RayIntersect( *next, in, out, t ) ) {
			return true;
		}
	} while ( FindNextChild( node, in, child ) );
	return false;
}

bool EFCollisionMap::FindFirstChild( const EFOctreeNodeHeader & node, const RayIntersectIn & in, u32 & child,
									 f32 & exit ) const {
	const DTVector3d & s = in.oStartVector;
	const DTVector3d & d = in.oDeplVector;
	static const u32 kSplit[3] = { EF_OCTREE_SPLIT_X, EF_OCTREE_SPLIT_Y, EF_OCTREE_SPLIT_Z };
	bool inside = true;
	f32 entry = -1.0e30f;
	exit = 2.0f;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 toCentre = Axis( node.oCentre, a ) - Axis( s, a );
		const f32 half = Axis( node.oHalfSize, a );
		const f32 da = Axis( d, a );
		const bool in = std::fabs( toCentre ) < half;
		if ( IsFlat( da ) ) {
			if ( !in ) {
				return false;
			}
			entry = entry > 0.0f ? entry : 0.0f;
			continue;
		}
		inside = inside && in;
		const f32 tIn = da > 0.0f ? ( toCentre - half ) / da : ( toCentre + half ) / da;
		const f32 tOut = tIn + 2.0f * std::fabs( half / da );
		entry = tIn > entry ? tIn : entry;
		exit = tOut < exit ? tOut : exit;
	}
	DTVector3d p = s;
	if ( !inside ) {
		if ( entry > 1.0f ) {
			return false;
		}
		if ( entry < 0.0f ) {
			entry = 0.0f;
		}
		if ( entry > exit ) {
			return false;
		}
		p = s + d * entry;
	}
	child = 0;
	for ( u32 a = 0; a < 3; a++ ) {
		if ( ( node.ui32Flags & kSplit[a] ) != 0 && Axis( p, a ) - Axis( node.oCentre, a ) > 0.0f ) {
			child |= 1u << a;
		}
	}
	return true;
}

bool EFCollisionMap::FindNextChild( const EFOctreeNodeHeader & node, const RayIntersectIn & in, u32 & child ) const {
	const DTVector3d & s = in.oStartVector;
	const DTVector3d & d = in.oDeplVector;
	static const u32 kSplit[3] = { EF_OCTREE_SPLIT_X, EF_OCTREE_SPLIT_Y, EF_OCTREE_SPLIT_Z };
	u32 axis = 0;
	f32 best = 0.0f;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 half = Axis( node.oHalfSize, a ) * 0.5f;
		const f32 da = Axis( d, a );
		f32 ta = 2.0f;
		if ( !IsFlat( da ) ) {
			// On an axis the node does not split the child spans the whole
			// node, so its far face is the node's own.
			const bool split = ( node.ui32Flags & kSplit[a] ) != 0;
			const f32 centre = !split ? Axis( node.oCentre, a )
									  : Axis( node.oCentre, a ) + ( ( child >> a ) & 1 ? half : -half );
			const f32 reach = split ? half : 2.0f * half;
			const f32 face = da > 0.0f ? centre + reach : centre - reach;
			ta = ( face - Axis( s, a ) ) / da;
		}
		if ( a == 0 || ta < best ) {
			best = ta;
			axis = a;
		}
	}
	if ( best > 1.0f || ( node.ui32Flags & kSplit[axis] ) == 0 ) {
		return false;
	}
	const bool has = ( ( child >> axis ) & 1 ) != 0;
	if ( Axis( d, axis ) > 0.0f ? has : !has ) {
		return false;
	}
	child ^= 1u << axis;
	return true;
}

bool EFCollisionMap::RayIntersectNodeEnd( EFOctreeNodeEnd & leaf, const RayIntersectIn & in, EFRayIntersectOut & out,
										  f32 & t, const f32 exit ) {
	const u32 mark = EFPhysicMgr::msui32GetPrimCount;
	const DTVector3d & s = in.oStartVector;
	const DTVector3d & d = in.oDeplVector;
	for ( u32 i = 0; i < leaf.ui32Count; i++ ) {
		EFEnvCollisionPrim * const prim = GetEntry( leaf, i );
		if ( prim->mui32CheckCount == mark ) {
			continue;
		}
		prim->mui32CheckCount = mark;
		const EnvPrimAttribs * const attribs = prim->GetAttribs();
		if ( ( attribs->ui32DetectedBy & in.ui32EnvDetectType ) == 0 &&
			 ( attribs->ui32UDDetectedBy & in.ui32EnvUDDetectType ) == 0 ) {
			continue;
		}
		const f32 den = prim->moPlane.moNormal * d;
		if ( den > 0.0f && ( attribs->ui32Flags & 0x1 ) == 0 ) {
			continue;
		}
		if ( std::fabs( den ) < 0.0005f ) {
			continue;
		}
		const f32 tHit = ( -prim->moPlane.mfD - prim->moPlane.moNormal * s ) / den;
		if ( tHit < 0.0f || tHit > 1.0f ) {
			continue;
		}
		const DTVector3d p = s + d * tHit;
		const u32 n = prim->mui16NbVertex & 0x7FFF;
		const EFEnvCollisionPrim::Plane * const edges = prim->GetEdges();
		bool outside = false;
		for ( u32 j = 0; j < n && !outside; j++ ) {
			outside = edges[j].moNormal * p + edges[j].mfD > 0.0f;
		}
		if ( outside ) {
			continue;
		}
		if ( out.poListener == nullptr ) {
			if ( tHit < t ) {
				t = tHit;
				out.poEnvCollider = prim;
				out.oIntersectionNormal = prim->moPlane.moNormal;
				mbTLowered = true;
			}
			continue;
		}
		t = tHit;
		out.poEnvCollider = prim;
		out.oIntersectionNormal = prim->moPlane.moNormal;
		out.oIntersectionPoint = s + d * t;
		if ( out.poListener->RayIntersectionOccured( out, PS_RAY_ENV ) ) {
			t = 1.0f;
		} else {
			t = -1.0f;
			out.poListener = nullptr;
			return true;
		}
	}
	// A polygon is listed by every leaf its area touches, so once the best
	// hit, wherever found, lies before the ray leaves this leaf, no later
	// leaf can hold a nearer one.
	return out.poListener == nullptr && t <= exit;
}
