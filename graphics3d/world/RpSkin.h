/*
===============================================================================

	Skin plug-in of the 3D library (id 0x116): a geometry deformed by the
	bones of a hierarchical-animation hierarchy.

	An RpSkin holds per vertex four bone indices and weights (sorted in
	descending order when the skin is set), one skin-to-bone matrix per
	bone (at most 255), the bones in use, the largest number of non-zero
	weights of any vertex (maxNumWeights, 1 to 4), the weights quantised
	to bytes (weight x 128, raised so they add up to 128 where they can)
	and an optional split of the bones per mesh (runs of bones per mesh).
	An atomic carries the hierarchy that drives it.

	Every frame a palette holds one matrix per used bone: skin-to-bone x
	bone x the inverse of the atomic's world matrix for blended skins
	(object space), or x the inverse camera matrix for one-weight skins
	(camera space, for the graphics processor to pick per vertex). Bones
	outside the hierarchy, and bones whose node has no frame in a
	hierarchy without matrices, keep their palette entries. Blending (two
	to four weights) stops at the first weight not above 0 and leaves
	normals unnormalised.

	Streams: the portable geometry form, the older one (maxNumWeights 0:
	no used-bone list and no split data), the console's native form and
	the legacy atomic form (read only). Every count is checked at read:
	used bones and vertex bones below the bone count, maxNumWeights at most
	4, runs inside their arrays and at most 10 bones per mesh, and payload
	sizes exact; anything else fails the owner's read with 0x8000001A.

===============================================================================
*/
#ifndef RP_SKIN_H
#define RP_SKIN_H

#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwPlugin.h"

struct RpAtomic;
struct RpGeometry;
struct RpHAnimHierarchy;
struct RwFreeList;
struct RwResEntry;
struct RwStream;
struct RxPipeline;
struct RxPipelineNode;
struct RxGCInstanceContext;

constexpr u32 rwID_SKINPLUGIN = 0x116;
// Bones of a skin and entries of the palette.
constexpr u32 RPSKIN_MAX_BONES		= 255;
constexpr u32 RPSKIN_PALETTE_SIZE	= 256;
constexpr u32 RPSKIN_MAX_WEIGHTS	= 4;
// Bones a mesh may use with split data (its matrix table).
constexpr u32 RPSKIN_MAX_MESH_BONES	= 10;
// Skin records per free-list block.
constexpr s32 _rpSkinFreeListBlockSize		= 20;
constexpr s32 _rpSkinFreeListPreallocBlocks	= 1;
// Hierarchy flag: its matrices are in the atomic's space already.
constexpr s32 rpHANIMHIERARCHYLOCALSPACEMATRICES = 0x4000;
// The platform word of native skins.
constexpr u32 RPSKIN_NATIVE_PLATFORM = 6;

struct RpSkin {
	u32				numBones;
	u32				numUsedBones;
	u8*				usedBones;
	RwMatrix*		skinToBoneMatrices;
	u32				maxNumWeights;
	u32*			vertexBoneIndices;		// four index bytes per vertex, index k in bits 8k
	f32*			vertexBoneWeights;		// four per vertex
	u8*				sourcePositions;		// instanced arrays taken over as blending input
	u8*				sourceNormals;
	u8*				quantisedWeights;		// maxNumWeights per vertex, weight x 128
	u8*				quantisedIndices;
	u32				boneLimit;
	u32				numMeshes;
	u32				numRuns;
	u8*				splitData;				// remap (numBones), per mesh {first run, runs}, per run {first bone, bones}
	void*			data;
};

// Offsets read -1 once the registries have closed, until the plug-in
// attaches again.
struct RpSkinGlobals {
	RwPluginOffset	engineOffset;
	RwPluginOffset	atomicOffset;
	RwPluginOffset	geometryOffset;
	RwMatrix*		palette;				// RPSKIN_PALETTE_SIZE, 16-byte aligned
	void*			paletteAllocation;
	RwFreeList*		freeList;
	s32				openCount;
	RxPipeline*		pipeline;
};

typedef void* ( *RpSkinInstanceCallBack )( void* object, RxGCInstanceContext* context );

extern RpSkinGlobals			_rpSkinGlobals;
extern RpSkinInstanceCallBack	_RwDlDefaultReinstanceCallBack;

// Always true.
bool				RpSkinPluginAttach();
// The setters give null and the getters null while the plug-in is not
// attached to the running library.
RpAtomic*			RpSkinAtomicSetHAnimHierarchy( RpAtomic* atomic, RpHAnimHierarchy* hierarchy );
RpHAnimHierarchy*	RpSkinAtomicGetHAnimHierarchy( const RpAtomic* atomic );
// Null when the new skin cannot be prepared.
RpGeometry*			RpSkinGeometrySetSkin( RpGeometry* geometry, RpSkin* skin );
RpSkin*				RpSkinGeometryGetSkin( const RpGeometry* geometry );
const f32*			RpSkinGetVertexBoneWeights( const RpSkin* skin );
const u32*			RpSkinGetVertexBoneIndices( const RpSkin* skin );
const RwMatrix*		RpSkinGetSkinToBoneMatrices( const RpSkin* skin );
RpSkin*				RpSkinDestroy( RpSkin* skin );
// The pipeline's plug-in data when it is the skin's, else 0.
u32					RpSkinAtomicGetType( const RpAtomic* atomic );

// A skin record with one data block (usedBones, 16-aligned matrices,
// index words, weights), zeroed, the given arrays copied in; null
// without memory.
RpSkin*				SkinCreateSkinData( u32 numBones, u32 numUsedBones, u32 numVertices, const u8* usedBones,
										const RwMatrix* matrices, const u32* indices, const f32* weights );
u32					SkinFindMaxWeights( const RpSkin* skin, u32 numVertices );
void				SkinFindNumUsedBones( RpSkin* skin, u32 numVertices );
// Sorts the weights and builds the quantised arrays (m > 1).
bool				_rpSkinCreate( RpGeometry* geometry, RpSkin* skin );
// Frees the quantised block and forgets the source arrays.
void				_rpSkinDeinit( RpSkin* skin );

// The palette of the atomic's skin from its hierarchy (nothing without
// one) with the atomic's world matrix.
void				_rpSkinMatrixBlendUpdate( RwMatrix* palette, const RpSkin* skin, const RwMatrix* atomicLTM,
											  const RpHAnimHierarchy* hierarchy );
// Blends V vertices from the source arrays into the destination ones in
// the position and normal component types (fraction bits of positions;
// normals with their fixed ones); nothing for m outside 2..4. Normals are
// skipped when sourceNormals is null.
void				_rpSkinBlendBody( const RpSkin* skin, const RwMatrix* palette, u32 numVertices, const u8* sourcePositions,
									  const u8* sourceNormals, u8* destPositions, u8* destNormals, u8 posType, u8 posFrac,
									  u8 normType, bool threeNormals );

// Loads a palette matrix into a processor matrix slot (and the normal
// matrix slot with normals).
void				_rpSkinLoadMatrix( const RwMatrix* matrix, u32 slot, bool normals );
// Double-buffered blending destinations: the instance's position (and
// normal) arrays point into a destination entry of the resource arena,
// reused once the processor has passed its token, else left to the arena
// and replaced. False when no destination can be had or the instance
// went away meanwhile.
bool				_rpSkinVertexBuffersUpdate( RpAtomic* atomic, RpSkin* skin, RwResEntry* instance );
// Destroy callbacks of destination entries and of a skinned instance
// (which frees the destination and gives the source arrays back).
void				_rpSkinResEntryWaitDone( RwResEntry* entry );
void				_rpSkinMainResEntryCB( RwResEntry* entry );
// Frees the blending destination and puts the source arrays back in the
// instance.
void				_rpSkinGiveBackSources( RpSkin* skin, RwResEntry* instance );
// The skin pipeline's node callbacks: instance, reinstance (palette and
// blending) and render.
void*				_rpSkinInstanceCallback( void* object, RxGCInstanceContext* context );
void*				_rpSkinAtomicReinstanceCallBack( void* object, RxGCInstanceContext* context );
void*				_rpSkinRenderCallback( void* object, RxGCInstanceContext* context );

// The atomic's (legacy, read only) and the geometry's stream entries.
RwStream*			SkinAtomicRead( RwStream* stream, s32 length, void* object, s32 offset, s32 size );
RwStream*			SkinAtomicWrite( RwStream* stream, s32 length, const void* object, s32 offset, s32 size );
s32					SkinAtomicGetSize( const void* object, s32 offset, s32 size );
RwStream*			SkinGeometryRead( RwStream* stream, s32 length, void* object, s32 offset, s32 size );
RwStream*			SkinGeometryWrite( RwStream* stream, s32 length, const void* object, s32 offset, s32 size );
s32					SkinGeometrySize( const void* object, s32 offset, s32 size );

// Engine plug-in open and close.
void*				SkinOpen( void* instance, s32 offset, s32 size );
void*				SkinClose( void* instance, s32 offset, s32 size );

#endif
