/*
===============================================================================

	A level's static collision geometry: convex polygons with surface
	attributes, sorted into an octree. The physics manager owns the maps
	of a level from AddMap on, linked through mpoNextMap, and asks each for
	the polygons near a sphere and for the nearest polygon a ray hits.

	The map is one blob: a 16-byte header (size, a free word, first
	polygon and root offsets from the data base at 16), then attribute
	records (32 bytes each), octree nodes, and polygon records to the end.
	Stored big-endian; Init checks the whole image first (offsets, sizes,
	counts, cycles, finite floats) and then decodes it in place to native
	order. Links stay 32-bit offsets resolved by accessors; a polygon's
	attribute word becomes a self-relative offset. Check marks are zeroed.

	Queries are not re-entrant: each polygon's mark holds the number of
	the last query that tested it.

===============================================================================
*/
#ifndef EF_COLLISION_MAP_H
#define EF_COLLISION_MAP_H

#include "datatypes/streamable/DTStreamable.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFOctreeNodeHeader.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

struct EFGetPrimitivesInSphereData;

constexpr s32 EF_COLLISION_MAP_CLASS_ID		= 36;
// Longest file name of the text form.
constexpr s32 EF_COLLISION_MAP_NAME_MAX		= 2048;

class EFCollisionMap : public DTStreamable {
public:
	class EFOctreeNodeVisitor {
	public:
		virtual				~EFOctreeNodeVisitor() {}
		virtual void		Node( EFOctreeNodeHeader & node ) = 0;
	};

							EFCollisionMap();
							~EFCollisionMap() override;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// True once the physics manager holds the map.
	bool					IsOwnedElsewhere() const override;

	// Two ignored words, the size N, then N - 4 bytes of the blob.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// Two ignored words and a file name; the blob as above from that file.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;

	// Takes the big-endian blob over (MMMalloc'd): checks it, decodes it
	// in place. False, keeping nothing, when the blob is malformed; a
	// second call on the same map changes nothing.
	bool					Init( u8 * blob );
	// Whether a stored big-endian image of size bytes is sound; if not,
	// message receives one line naming the first problem.
	static bool				Validate( const u8 * image, u32 size, char * message, u32 messageSize );

	void					VisitOctree( EFOctreeNodeHeader & node, EFOctreeNodeVisitor & visitor );

	// Adds the polygons near the query's sphere to its output; how many.
	u32						GetPrimitivesInSphere( EFGetPrimitivesInSphereData * query );
	// The ray against the polygons: PS_RAY_MANY when a listener remains or
	// stopped the query, PS_RAY_ENV when this map lowered t, else NONE.
	RayIntersectResult		RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t );

	// Resolved links: null for a zero child offset.
	EFOctreeNodeHeader *	GetChild( const EFOctreeNodeHeader & node, u32 index ) const;
	EFEnvCollisionPrim *	GetEntry( const EFOctreeNodeEnd & leaf, u32 index ) const;
	EFOctreeNodeHeader *	GetRoot() const { return mpoRoot; }
	EFEnvCollisionPrim *	GetFirstPrimitive() const { return mpoFirstPrim; }
	const u8 *				GetBlob() const { return mpBlob; }
	u32						GetBlobSize() const;

	EFCollisionMap *		mpoNextMap;

private:
	u32						GetPrimitivesInSphereForOctreeNode( EFOctreeNodeHeader & node,
																EFGetPrimitivesInSphereData & query );
	u32						GetPrimitivesInSphereForOctreeLeaf( EFOctreeNodeEnd & leaf,
																EFGetPrimitivesInSphereData & query );
	bool					RayIntersect( EFOctreeNodeHeader & node, const RayIntersectIn & in,
										  EFRayIntersectOut & out, f32 & t );
	// Whether the ray meets the node's box; its entry child and the ray's
	// exit parameter from the box.
	bool					FindFirstChild( const EFOctreeNodeHeader & node, const RayIntersectIn & in,
											u32 & child, f32 & exit ) const;
	bool					FindNextChild( const EFOctreeNodeHeader & node, const RayIntersectIn & in,
										   u32 & child ) const;
	bool					RayIntersectNodeEnd( EFOctreeNodeEnd & leaf, const RayIntersectIn & in,
												 EFRayIntersectOut & out, f32 & t, f32 exit );
	// The blob of size N from the stream (size already read); the load's code.
	s32						LoadBlob( DTBasePersistStream & stream, u32 size );

	u8 *					mpBlob;
	u8 *					mpDataBase;
	EFOctreeNodeHeader *	mpoRoot;
	EFEnvCollisionPrim *	mpoFirstPrim;
	bool					mbFixedUp;
	bool					mbRegistered;
	// Whether the running ray query lowered t in this map.
	bool					mbTLowered;
};

#endif
