/*
===============================================================================

	The engine's own vertex animation of models (chunk 0x01BAD006): per
	atomic, animated vertex positions and normals stored as key frames,
	evaluated on the game thread and written straight into the atomics'
	geometry.

	Stored block (little-endian, offsets from the start of the block, 0
	for none): header {atomic table offset, atomic count (one byte),
	version word (data version in the low 16 bits), animation group (one
	byte)}; the table holds one offset per atomic of the clump, in clump
	order, to a record {vertex channel, normal channel, a third block};
	a channel is {time, key count (u16), current key (u16), animated
	count N (u16), offsets of N vertex indices (u16), N slopes, N bases,
	N outputs and the keys}; keys are 12-byte records {time, next key,
	offset of N values}, one after the other.

	The block is read whole, checked and decoded into the native records
	below: every offset and count must lie inside the block, or the
	animation is not made (null). A channel whose key times do not start
	at 0 and strictly increase cannot wrap: it holds its first key with
	slope 0.

	Channel step: time moves by dt; before the current key it steps back
	key by key (before key 0: to the last key, adding its time), after the
	next key's time forward (reaching the last key: its time is taken off
	and key 0 starts again); the slopes are recomputed after any key
	change, slope = (next - key) / (next time - key time). Outputs are
	key + slope x (time - key time); normals add their base and are
	normalised.

	The operations walk the clump's atomics and the atomic table side by
	side, min(table count, clump atomics) of them. Atomics without a
	record or vertex channel, or whose geometry has two or more morph
	targets of its own (no morph-target block), are left untouched. Target
	0 of an atomic's block holds its unanimated geometry; target 1 the
	snapshot a blend starts from.

===============================================================================
*/
#ifndef AP_MORPH_ANIMATION_H
#define AP_MORPH_ANIMATION_H

#include "datatypes/base/DTTypes.h"
#include "graphics3d/core/RwV3d.h"

struct RpClump;
struct RwStream;

constexpr u32 AP_MORPH_ANIMATION_CHUNK	= 0x01BAD006;

// Bytes of the stored records.
constexpr u32 AP_MORPH_HEADER_BYTES		= 16;
constexpr u32 AP_MORPH_RECORD_BYTES		= 12;
constexpr u32 AP_MORPH_CHANNEL_BYTES	= 32;
constexpr u32 AP_MORPH_KEY_BYTES		= 12;

struct ApMorphKeyEx {
	f32				fTime;
	u32				uiNext;			// the stored offset of the next key
	RwV3d *			pValues;		// N values
};

struct ApMorphAnimChannelEx {
	f32				fTime;
	u16				uiNumKeys;
	u16				uiCurrentKey;
	u16				uiNumAnimated;
	bool			bWraps;			// key times start at 0 and strictly increase
	u16 *			pIndices;
	RwV3d *			pSlopes;
	RwV3d *			pBases;
	RwV3d *			pOutputs;
	ApMorphKeyEx *	pKeys;
};

struct ApMorphAtomicEx {
	ApMorphAnimChannelEx *	pVertex;	// null: none
	ApMorphAnimChannelEx *	pNormal;
	u32						uiThird;	// the third block's offset, kept as read
};

struct ApMorphAnimationEx {
	u32					uiNumAtomics;
	u32					uiVersion;		// the stored word; the data version is its low 16 bits
	u8					uiGroup;		// meaningful from data version 10408 on
	ApMorphAtomicEx **	ppAtomics;		// uiNumAtomics entries, null for none
	void *				pStorage;		// the one allocation holding everything
};

// Finds the chunk and reads it; 1 with *animation set (null for a
// missing or empty chunk or a block that does not check), 0 on a
// stream failure.
s32		ApMorphAnimationStreamRead( RwStream * stream, ApMorphAnimationEx ** animation );
// Decodes a whole block; null when it does not check.
ApMorphAnimationEx *	ApMorphAnimationDecode( const u8 * block, u32 size );

void	ApMorphAnimationInit( RpClump * clump, ApMorphAnimationEx * animation );
void	ApMorphAnimationSetTime( ApMorphAnimationEx * animation, f32 time );
void	ApMorphAnimationAddTime( ApMorphAnimationEx * animation, f32 dt );
// restore 0 writes the animated entries, else copies target 0 back.
void	ApMorphAnimationSetGeometry( RpClump * clump, ApMorphAnimationEx * animation, s32 restore );
void	ApMorphAnimationInitBlend( RpClump * clump, ApMorphAnimationEx * animation );
void	ApMorphAnimationBlend( RpClump * clump, ApMorphAnimationEx * animation, f32 factor );
// Last minus first key time of the first atomic's vertex channel; 0
// without one.
f32		ApMorphAnimationGetDuration( ApMorphAnimationEx * animation );
void	ApMorphAnimationDestroy( ApMorphAnimationEx * animation );

#endif
