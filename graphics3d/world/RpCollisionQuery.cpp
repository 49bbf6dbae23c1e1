// Line, sphere, box and atomic queries of atomics and worlds.
#include "graphics3d/world/RpCollision.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RtIntersection.h"

static const f32 LINE_DET_EPSILON		= 1e-8f;
static const f32 LINE_EDGE_MARGIN		= -1e-5f;

namespace {

RwV3d Sub( const RwV3d& a, const RwV3d& b ) {
	return { a.x - b.x, a.y - b.y, a.z - b.z };
}

RwV3d Cross( const RwV3d& a, const RwV3d& b ) {
	return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
}

f32 Dot( const RwV3d& a, const RwV3d& b ) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

void RefuseType() {
	RwError error = { rwID_COLLISPLUGIN, 0 };
	RwErrorSet( &error );
}

void RefuseNullAtomic() {
	_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
}

RwBBox SphereBox( const RwSphere& sphere ) {
	const RwV3d& c = sphere.center;
	const f32 r = sphere.radius;
	return { { c.x + r, c.y + r, c.z + r }, { c.x - r, c.y - r, c.z - r } };
}

// Fills the triangle record; the normal by the reciprocal square root of
// its squared length (zero for a triangle without area).
void FillTriangle( RpCollisionTriangle* out, const s32 index, RwV3d* a, RwV3d* b, RwV3d* c ) {
	const RwV3d n = Cross( Sub( *b, *a ), Sub( *c, *a ) );
	const f32 length2 = Dot( n, n );
	const f32 scale = length2 > 0.0f ? _rwInvSqrt( length2 ) : 0.0f;
	out->normal = { n.x * scale, n.y * scale, n.z * scale };
	out->point = *a;
	out->index = index;
	out->vertices[0] = a;
	out->vertices[1] = b;
	out->vertices[2] = c;
}

// What a query tests one triangle for, and whom it tells.
struct Query {
	RpIntersection*							intersection;
	RwLine									line;			// lines: the whole query line
	RwV3d									delta;
	f32										gradients[6];	// of the line and every part of it
	RwSphere								sphere;
	RwBBox									box;
	RpIntersectType							kind;			// line, sphere or box test
	RpIntersectionCallBackGeometryTriangle	atomicCallBack;
	RpIntersectionCallBackWorldTriangle		worldCallBack;
	RpWorldSector*							sector;
	void*									data;
};

// Tests one triangle; false when the callback stopped the query.
bool TestTriangle( Query& query, const s32 index, RwV3d* a, RwV3d* b, RwV3d* c ) {
	RpCollisionTriangle triangle;
	f32 distance = 0.0f;
	switch ( query.kind ) {
	case rpINTERSECTLINE:
		if ( !_rpCollisionLineTriangle( &query.line.start, &query.delta, a, b, c, &distance ) ) {
			return true;
		}
		FillTriangle( &triangle, index, a, b, c );
		break;
	case rpINTERSECTSPHERE: {
		RwV3d normal;
		if ( !RtIntersectionSphereTriangle( &query.sphere, a, b, c, &normal, &distance ) ) {
			return true;
		}
		FillTriangle( &triangle, index, a, b, c );
		triangle.normal = normal;
		distance *= 1.0f / query.sphere.radius;
		break;
	}
	default:
		if ( !RtIntersectionBBoxTriangle( &query.box, a, b, c ) ) {
			return true;
		}
		FillTriangle( &triangle, index, a, b, c );
		distance = 0.0f;
		break;
	}
	if ( query.worldCallBack != nullptr ) {
		return query.worldCallBack( query.intersection, query.sector, &triangle, distance, query.data ) != nullptr;
	}
	return query.atomicCallBack( query.intersection, &triangle, distance, query.data ) != nullptr;
}

// A geometry's triangles reached through a leaf.
struct GeometryLeaf {
	Query*			query;
	RpGeometry*		geometry;
	RpCollisionData*	collision;
};

bool TestGeometryTriangle( Query& query, RpGeometry* geometry, const u32 index ) {
	RwV3d* const verts = geometry->morphTarget[0].verts;
	const RpTriangle& triangle = geometry->triangles[index];
	return TestTriangle( query, static_cast<s32>( index ), &verts[triangle.vertIndex[0]], &verts[triangle.vertIndex[1]],
						 &verts[triangle.vertIndex[2]] );
}

bool GeometryLeafCallBack( const u16 numPolygons, const u16 firstPolygon, void* data ) {
	GeometryLeaf* const leaf = static_cast<GeometryLeaf*>( data );
	for ( u32 i = firstPolygon; i < u32{ firstPolygon } + numPolygons; i++ ) {
		if ( !TestGeometryTriangle( *leaf->query, leaf->geometry, leaf->collision->triangleMap[i] ) ) {
			return false;
		}
	}
	return true;
}

void GeometryQuery( Query& query, RpGeometry* geometry ) {
	RpCollisionData* const collision = _rpCollisionGeometryData( geometry );
	if ( collision == nullptr ) {
		for ( s32 i = 0; i < geometry->numTriangles; i++ ) {
			if ( !TestGeometryTriangle( query, geometry, static_cast<u32>( i ) ) ) {
				return;
			}
		}
		return;
	}
	GeometryLeaf leaf = { &query, geometry, collision };
	if ( query.kind == rpINTERSECTLINE ) {
		_rpCollLineGradients( &query.line, query.gradients );
		_rpCollBSPTreeForAllLineLeafNodeIntersections( collision->tree, &query.line, query.gradients, GeometryLeafCallBack,
													   &leaf );
	} else {
		_rpCollBSPTreeForAllBoxLeafNodeIntersections( collision->tree, &query.box, GeometryLeafCallBack, &leaf );
	}
}

// Every triangle against the morph targets the interpolator selects.
void MorphQuery( Query& query, const RpAtomic* atomic, RpGeometry* geometry ) {
	const RpInterpolator& interpolator = atomic->interpolator;
	const s32 count = geometry->numMorphTargets;
	const s32 start = interpolator.startMorphTarget;
	const s32 end = interpolator.endMorphTarget;
	const bool inRange = start >= 0 && end >= 0 && start < count && end < count;
	const bool blend = inRange && start != end;
	const RwV3d* const a = geometry->morphTarget[inRange ? start : 0].verts;
	const RwV3d* const b = geometry->morphTarget[inRange ? end : 0].verts;
	const f32 f = interpolator.position * interpolator.recipTime;
	for ( s32 i = 0; i < geometry->numTriangles; i++ ) {
		RwV3d corners[3];
		for ( s32 k = 0; k < 3; k++ ) {
			const u16 v = geometry->triangles[i].vertIndex[k];
			corners[k] = blend ? RwV3d{ a[v].x + ( b[v].x - a[v].x ) * f, a[v].y + ( b[v].y - a[v].y ) * f,
										a[v].z + ( b[v].z - a[v].z ) * f }
							   : a[v];
		}
		if ( !TestTriangle( query, i, &corners[0], &corners[1], &corners[2] ) ) {
			return;
		}
	}
}

// Sector triangles reached through a leaf of the sector's tree.
struct SectorLeaf {
	Query*				query;
	RpCollisionData*	collision;
};

bool SectorLeafCallBack( const u16 numPolygons, const u16 firstPolygon, void* data ) {
	SectorLeaf* const leaf = static_cast<SectorLeaf*>( data );
	RpWorldSector* const sector = leaf->query->sector;
	for ( u32 i = firstPolygon; i < u32{ firstPolygon } + numPolygons; i++ ) {
		const u16 index = leaf->collision->triangleMap[i];
		const RpSectorTriangle& triangle = sector->triangles[index];
		RwV3d* const verts = sector->vertices;
		if ( !TestTriangle( *leaf->query, index, &verts[triangle.vertIndex[0]], &verts[triangle.vertIndex[1]],
							&verts[triangle.vertIndex[2]] ) ) {
			return false;
		}
	}
	return true;
}

// A sector's collision tree, or null: none, or a native sector that keeps
// no triangles or positions for the CPU.
RpCollisionData* SectorCollision( RpWorldSector* sector ) {
	if ( sector->triangles == nullptr || sector->vertices == nullptr ) {
		return nullptr;
	}
	return _rpCollisionWorldSectorData( sector );
}

bool SectorLine( RpWorldSector* sector, const RwLine* segment, void* data ) {
	Query* const query = static_cast<Query*>( data );
	RpCollisionData* const collision = SectorCollision( sector );
	if ( collision == nullptr ) {
		return true;
	}
	query->sector = sector;
	SectorLeaf leaf = { query, collision };
	return _rpCollBSPTreeForAllLineLeafNodeIntersections( collision->tree, segment, query->gradients, SectorLeafCallBack,
														  &leaf ) != nullptr;
}

bool SectorBox( RpWorldSector* sector, void* data ) {
	Query* const query = static_cast<Query*>( data );
	RpCollisionData* const collision = SectorCollision( sector );
	if ( collision == nullptr ) {
		return true;
	}
	query->sector = sector;
	SectorLeaf leaf = { query, collision };
	return _rpCollBSPTreeForAllBoxLeafNodeIntersections( collision->tree, &query->box, SectorLeafCallBack, &leaf ) !=
		   nullptr;
}

struct TiedSectors {
	Query*	query;
	bool	stopped;
};

RpWorldSector* TiedSector( RpWorldSector* sector, void* data ) {
	TiedSectors* const tied = static_cast<TiedSectors*>( data );
	if ( !SectorBox( sector, tied->query ) ) {
		tied->stopped = true;
		return nullptr;
	}
	return sector;
}

void SetSphere( Query& query, const RwSphere& sphere ) {
	query.kind = rpINTERSECTSPHERE;
	query.sphere = sphere;
	query.box = SphereBox( sphere );
}

}	// namespace

bool _rpCollisionLineTriangle( const RwV3d* start, const RwV3d* delta, const RwV3d* a, const RwV3d* b, const RwV3d* c,
							   f32* distance ) {
	const RwV3d e1 = Sub( *c, *a );
	const RwV3d e2 = Sub( *b, *a );
	const RwV3d p = Cross( *delta, e1 );
	const f32 det = Dot( e2, p );
	if ( !( det > LINE_DET_EPSILON ) ) {
		return false;
	}
	const f32 tolerance = LINE_EDGE_MARGIN * det;
	const RwV3d t = Sub( *start, *a );
	const f32 u = Dot( t, p );
	if ( u < tolerance || u > det - tolerance ) {
		return false;
	}
	const RwV3d q = Cross( t, e2 );
	const f32 v = Dot( *delta, q );
	if ( v < tolerance || u + v > det - tolerance ) {
		return false;
	}
	const f32 along = Dot( e1, q );
	if ( along < tolerance || along > det - tolerance ) {
		return false;
	}
	*distance = along / det;
	return true;
}

RpAtomic* RpAtomicForAllIntersections( RpAtomic* atomic, RpIntersection* intersection,
									   const RpIntersectionCallBackGeometryTriangle callBack, void* data ) {
	const RpIntersectType type = intersection->type;
	if ( type != rpINTERSECTLINE && type != rpINTERSECTSPHERE && type != rpINTERSECTATOMIC ) {
		RefuseType();
		return nullptr;
	}
	if ( type == rpINTERSECTATOMIC && intersection->t.object == nullptr ) {
		RefuseNullAtomic();
		return nullptr;
	}
	RpGeometry* const geometry = atomic->geometry;
	// A native geometry keeps no triangles or positions for the CPU to test.
	if ( geometry == nullptr || geometry->triangles == nullptr || geometry->morphTarget == nullptr ||
		 geometry->morphTarget[0].verts == nullptr ) {
		return atomic;
	}
	// Into the atomic's space; an atomic without frame is where its
	// geometry is.
	RwMatrix ltm;
	_rwMatrixSetIdentity( &ltm );
	RwFrame* const frame = RpAtomicGetFrame( atomic );
	if ( frame != nullptr ) {
		ltm = *RwFrameGetLTM( frame );
	}
	RwMatrix inverse;
	RwMatrixInvert( &inverse, &ltm );
	Query query = {};
	query.intersection = intersection;
	query.atomicCallBack = callBack;
	query.data = data;
	if ( type == rpINTERSECTLINE ) {
		query.kind = rpINTERSECTLINE;
		RwV3dTransformPoints( &query.line.start, &intersection->t.line.start, 1, &inverse );
		RwV3dTransformPoints( &query.line.end, &intersection->t.line.end, 1, &inverse );
		query.delta = Sub( query.line.end, query.line.start );
	} else {
		const RwSphere world = type == rpINTERSECTSPHERE ? intersection->t.sphere
														 : *RpAtomicGetWorldBoundingSphere( intersection->t.object );
		RwSphere local;
		RwV3dTransformPoints( &local.center, &world.center, 1, &inverse );
		local.radius = world.radius * RwV3dLength( &inverse.at );
		SetSphere( query, local );
	}
	if ( geometry->numMorphTargets == 1 ) {
		GeometryQuery( query, geometry );
	} else {
		MorphQuery( query, atomic, geometry );
	}
	return atomic;
}

RpWorld* RpCollisionWorldForAllIntersections( RpWorld* world, RpIntersection* intersection,
											  const RpIntersectionCallBackWorldTriangle callBack, void* data ) {
	Query query = {};
	query.intersection = intersection;
	query.worldCallBack = callBack;
	query.data = data;
	switch ( intersection->type ) {
	case rpINTERSECTLINE: {
		query.kind = rpINTERSECTLINE;
		query.line = intersection->t.line;
		query.delta = Sub( query.line.end, query.line.start );
		_rpCollLineGradients( &query.line, query.gradients );
		_rpCollSectorTreeForAllLineIntersections( world->rootSector, &query.line, query.gradients, SectorLine, &query );
		return world;
	}
	case rpINTERSECTSPHERE:
		SetSphere( query, intersection->t.sphere );
		_rpCollSectorTreeForAllBoxIntersections( world->rootSector, &query.box, SectorBox, &query );
		return world;
	case rpINTERSECTBOX:
		query.kind = rpINTERSECTBOX;
		query.box = intersection->t.box;
		_rpCollSectorTreeForAllBoxIntersections( world->rootSector, &query.box, SectorBox, &query );
		return world;
	case rpINTERSECTATOMIC: {
		RpAtomic* const atomic = intersection->t.object;
		if ( atomic == nullptr ) {
			RefuseNullAtomic();
			return nullptr;
		}
		SetSphere( query, *RpAtomicGetWorldBoundingSphere( atomic ) );
		TiedSectors tied = { &query, false };
		RpAtomicForAllWorldSectors( atomic, TiedSector, &tied );
		return world;
	}
	default:
		RefuseType();
		return nullptr;
	}
}
